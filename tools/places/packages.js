// SPDX-License-Identifier: GPL-3.0-or-later
// Where an npm input is installed. Packages are looked up the way require()
// looks them up (this folder's node_modules, then NODE_PATH), so the inputs
// may live elsewhere: the freshness test installs them into the build folder.
// Some packages export no package.json, so the folder is found directly.
'use strict';
const fs = require('fs');
const path = require('path');

function packageDir(name) {
  for (const base of require.resolve.paths(name) || []) {
    const dir = path.join(base, name);
    if (fs.existsSync(path.join(dir, 'package.json'))) return dir;
  }
  throw new Error(`npm package ${name} is not installed (run npm ci in tools/places)`);
}

module.exports = { packageDir };
