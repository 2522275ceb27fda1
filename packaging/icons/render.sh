#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the application icon's PNG sizes from the SVG; run it after changing
# the SVG and commit the PNGs with it. Needs rsvg-convert (Debian librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
id=io.github.quadrelle.Quadrelle
for s in 16 32 48 64 128 256; do
  mkdir -p "${s}x${s}"
  rsvg-convert -w "$s" -h "$s" "$id.svg" -o "${s}x${s}/$id.png"
done
