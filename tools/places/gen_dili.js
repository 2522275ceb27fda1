#!/usr/bin/env node
// Writes data/dat/dili.ini (GBK) from the province maps shipped with echarts
// 4.9.0 (map/json/province/*.json, Apache-2.0): one section per province,
// one key per division, value "D:M*d:m" rounded to the minute.
//
//   cd tools/places && npm ci && node gen_dili.js [OUT]
//
// OUT defaults to data/dat/dili.ini. The output depends only on the pinned
// packages, so a second run writes the same bytes; nothing is fetched once
// node_modules is installed.
'use strict';
const fs = require('fs');
const path = require('path');
const iconv = require('iconv-lite');

const mapDir = path.join(path.dirname(require.resolve('echarts/package.json')), 'map/json/province');
const out = process.argv[2] || path.join(__dirname, '../../data/dat/dili.ini');

// Section name and map file, in the order of the program's province list.
const provinces = [
  ['福建省', 'fujian'], ['北京市', 'beijing'], ['天津市', 'tianjin'], ['河北省', 'hebei'],
  ['山西省', 'shanxi'], ['内蒙古', 'neimenggu'], ['辽宁省', 'liaoning'], ['吉林省', 'jilin'],
  ['黑龙江省', 'heilongjiang'], ['上海市', 'shanghai'], ['江苏省', 'jiangsu'], ['浙江省', 'zhejiang'],
  ['安徽省', 'anhui'], ['江西省', 'jiangxi'], ['山东省', 'shandong'], ['河南省', 'henan'],
  ['湖北省', 'hubei'], ['湖南省', 'hunan'], ['广东省', 'guangdong'], ['广西', 'guangxi'],
  ['海南省', 'hainan'], ['四川省', 'sichuan'], ['重庆市', 'chongqing'], ['贵州省', 'guizhou'],
  ['云南省', 'yunnan'], ['西藏', 'xizang'], ['陕西省', 'shanxi1'], ['甘肃省', 'gansu'],
  ['青海省', 'qinghai'], ['宁夏', 'ningxia'], ['新疆', 'xinjiang'], ['台湾省', 'taiwan'],
  ['香港', 'xianggang'], ['澳门', 'aomen'],
];

// Features that are not a division of their own.
const skipped = new Set(['中国属钓鱼岛']);

// The places dialog takes at most 10 characters for a name, and the place
// text of a cast ends up in the case database, whose texts never carry the
// characters the text cleaning removes.
const kMaxKeyChars = 10;
const kForbidden = /["*<>?\\/|:' =\[\];]/;

// The minority nationalities as the names of autonomous divisions spell them.
const nationalities = [
  '蒙古', '回', '藏', '维吾尔', '苗', '彝', '壮', '布依', '朝鲜', '满', '侗', '瑶', '白', '土家',
  '哈尼', '哈萨克', '傣', '黎', '傈僳', '佤', '畲', '高山', '拉祜', '水', '东乡', '纳西', '景颇',
  '柯尔克孜', '土', '达斡尔', '仫佬', '羌', '布朗', '撒拉', '毛南', '仡佬', '锡伯', '阿昌', '普米',
  '塔吉克', '怒', '乌孜别克', '俄罗斯', '鄂温克', '德昂', '保安', '裕固', '京', '塔塔尔', '独龙',
  '鄂伦春', '赫哲', '门巴', '珞巴', '基诺',
].sort((a, b) => b.length - a.length);

// A name longer than the dialog takes is an autonomous division's: it is
// written in its usual short form, the place name and the kind of division
// (黔西南布依族苗族自治州 becomes 黔西南州).
function keyOf(name) {
  if ([...name].length <= kMaxKeyChars) return name;
  const m = /^(.+)自治(州|县|旗)$/.exec(name);
  if (!m) throw new Error(`${name}: longer than ${kMaxKeyChars} characters`);
  let place = m[1];
  for (let stripped = true; stripped;) {
    stripped = false;
    const rest = place.endsWith('族') ? place.slice(0, -1) : place;
    const n = nationalities.find((x) => rest.endsWith(x) && [...rest].length - [...x].length >= 2);
    if (n) {
      place = rest.slice(0, rest.length - n.length);
      stripped = true;
    }
  }
  const key = place + m[2];
  if (key === name || [...key].length > kMaxKeyChars) throw new Error(`${name}: no short form`);
  return key;
}

// echarts' compact geometry: zigzag-encoded deltas, two characters a point.
function decodeRing(ring, offsets, scale) {
  if (typeof ring !== 'string') return ring;
  const pts = [];
  let px = offsets[0], py = offsets[1];
  for (let i = 0; i < ring.length; i += 2) {
    let x = ring.charCodeAt(i) - 64, y = ring.charCodeAt(i + 1) - 64;
    x = (x >> 1) ^ (-(x & 1));
    y = (y >> 1) ^ (-(y & 1));
    x += px; y += py; px = x; py = y;
    pts.push([x / scale, y / scale]);
  }
  return pts;
}

function polygonsOf(feature, scale) {
  const g = feature.geometry;
  const enc = g.encodeOffsets;
  if (g.type === 'Polygon') return [g.coordinates.map((r, i) => decodeRing(r, enc ? enc[i] : null, scale))];
  return g.coordinates.map((poly, p) => poly.map((r, i) => decodeRing(r, enc ? enc[p][i] : null, scale)));
}

// Area-weighted centroid of the outer rings (the largest landmass dominates).
function centroid(polys) {
  let a = 0, cx = 0, cy = 0;
  for (const poly of polys) {
    const r = poly[0];
    for (let i = 0, j = r.length - 1; i < r.length; j = i++) {
      const f = r[j][0] * r[i][1] - r[i][0] * r[j][1];
      a += f; cx += (r[j][0] + r[i][0]) * f; cy += (r[j][1] + r[i][1]) * f;
    }
  }
  return [cx / (3 * a), cy / (3 * a)];
}

// Degrees and minutes rounded to the nearest minute; minutes carry the sign
// of nothing, so negative degrees keep positive minutes.
function dm(v) {
  let total = Math.round(v * 60);
  let d = Math.floor(total / 60), m = total - d * 60;
  return `${d}:${m}`;
}

let text = '';
let count = 0;
for (const [section, file] of provinces) {
  const json = JSON.parse(fs.readFileSync(path.join(mapDir, file + '.json'), 'utf8'));
  const scale = json.UTF8Scale || 1024;
  text += `[${section}]\r\n`;
  // A division may come in two features (山南市): the first, with its centre,
  // stands for it.
  const seen = new Set();
  for (const f of json.features) {
    const p = f.properties;
    if (skipped.has(p.name) || seen.has(p.name)) continue;
    seen.add(p.name);
    const key = keyOf(p.name);
    if (kForbidden.test(key) || key !== key.trim()) throw new Error(`${section}: bad key '${key}'`);
    let lon, lat;
    if (p.cp) [lon, lat] = p.cp;
    else if (typeof p.longitude === 'number') [lon, lat] = [p.longitude, p.latitude];
    else [lon, lat] = centroid(polygonsOf(f, scale));
    text += `${key}=${dm(lon)}*${dm(lat)}\r\n`;
    count++;
  }
  text += '\r\n';
}
fs.mkdirSync(path.dirname(out), { recursive: true });
fs.writeFileSync(out, iconv.encode(text, 'gbk'));
console.log(`${out}: ${provinces.length} provinces, ${count} places`);
