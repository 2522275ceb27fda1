#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that every source file opens with its licence line:
#   // SPDX-License-Identifier: GPL-3.0-or-later   C++ and JavaScript
#   # SPDX-License-Identifier: GPL-3.0-or-later    CMake, shell, Python
# on the first line, or on the second after a "#!" line. Generated tables
# carry it too (their generators write it). Data, fixtures and fuzz corpora
# are not source files and keep their own licences (data/NOTICE).
#
#   tests/tools/check_spdx.sh [ROOT]   exit 1 naming every file without it
set -uo pipefail

root=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
cd "$root" || exit 2
tag="SPDX-License-Identifier: GPL-3.0-or-later"

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  all=$(git ls-files --cached --others --exclude-standard)
else
  all=$(find . -name node_modules -prune -o -name 'build*' -prune -o -type f -print | sed 's|^\./||')
fi

files=() bad=()
while IFS= read -r f; do
  [ -f "$f" ] || continue
  case "$f" in data/* | tests/fixtures/* | tests/fuzz/corpus/*) continue ;; esac
  case "$f" in
    *.cpp | *.h | *.js) comment="//" ;;
    *.py | *.sh | *.cmake | CMakeLists.txt | */CMakeLists.txt | packaging/completion/*) comment="#" ;;
    *) head -c 2 "$f" | grep -q '^#!' || continue; comment="#" ;;  # scripts without a suffix
  esac
  files+=("$f")
  first=$(head -n 1 "$f")
  [ "${first:0:2}" = "#!" ] && first=$(sed -n 2p "$f")
  [ "$first" = "$comment $tag" ] || bad+=("$f (wants \"$comment $tag\")")
done <<<"$all"

if [ ${#files[@]} -eq 0 ]; then
  echo "FAILED: no source files found under $root"
  exit 1
fi
if [ ${#bad[@]} -gt 0 ]; then
  echo "FAILED: ${#bad[@]} of ${#files[@]} source files lack the licence line at the top" \
       "(after the #! line of a script):"
  printf '  %s\n' "${bad[@]}"
  echo "Generated tables get it from their generators: fix the generator and regenerate."
  exit 1
fi
echo "licence line: ${#files[@]} source files"
