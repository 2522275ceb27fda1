// SPDX-License-Identifier: GPL-3.0-or-later
// Place names as keys of the places file: within the ten characters the
// places dialog takes, free of the characters the INI format or the text
// cleaning of the place text would take apart, and one key per place.
'use strict';

const kMaxKeyChars = 10;
const kForbidden = /["*<>?\\/|:' =\[\];\t]/;

// The minority nationalities as the names of autonomous divisions spell them.
const nationalities = [
  '蒙古', '回', '藏', '维吾尔', '苗', '彝', '壮', '布依', '朝鲜', '满', '侗', '瑶', '白', '土家',
  '哈尼', '哈萨克', '傣', '黎', '傈僳', '佤', '畲', '高山', '拉祜', '水', '东乡', '纳西', '景颇',
  '柯尔克孜', '土', '达斡尔', '仫佬', '羌', '布朗', '撒拉', '毛南', '仡佬', '锡伯', '阿昌', '普米',
  '塔吉克', '怒', '乌孜别克', '俄罗斯', '鄂温克', '德昂', '保安', '裕固', '京', '塔塔尔', '独龙',
  '鄂伦春', '赫哲', '门巴', '珞巴', '基诺',
].sort((a, b) => b.length - a.length);

const chars = (s) => [...s].length;

// The place name of an autonomous division without its nationalities
// (黔西南布依族苗族 gives 黔西南); null when nothing is stripped. Each is
// written "…族", except, in some names, the one right before 自治
// (克孜勒苏柯尔克孜自治州): `beforeAutonomy` allows that one.
function stripNationalities(name, beforeAutonomy = false) {
  let place = name;
  for (;;) {
    const suffixed = place.endsWith('族');
    if (!suffixed && !(beforeAutonomy && place === name)) break;
    const rest = suffixed ? place.slice(0, -1) : place;
    const n = nationalities.find((x) => rest.endsWith(x) && chars(rest) - chars(x) >= 2);
    if (!n) break;
    place = rest.slice(0, rest.length - n.length);
  }
  return place === name ? null : place;
}

// The usual short form of an autonomous division: the place name and the
// kind of division (黔西南布依族苗族自治州 becomes 黔西南州); null for others.
function autonomousShortForm(name) {
  const m = /^(.+)自治(州|县|旗)$/.exec(name);
  const place = m && stripNationalities(m[1], true);
  return place ? place + m[2] : null;
}

// A name longer than the dialog takes is an autonomous division's: it is
// written in its short form.
function keyOf(name) {
  if (chars(name) <= kMaxKeyChars) return name;
  const key = autonomousShortForm(name);
  if (!key || chars(key) > kMaxKeyChars) throw new Error(`${name}: longer than ${kMaxKeyChars} characters`);
  return key;
}

// The name of a prefecture as it stands in front of a county's
// (南京市 gives 南京, 恩施土家族苗族自治州 gives 恩施, 阿克苏地区 gives 阿克苏).
function shortPrefecture(name) {
  const m = /^(.+?)(自治州|州|地区|盟|市|县)$/.exec(name);
  if (!m) return name;
  return stripNationalities(m[1], m[2] === '自治州') || m[1];
}

// The county-level name without the kind of division, as a town or a
// transliteration would carry it (晋江市 gives 晋江, 景宁畲族自治县 gives
// 景宁); null when less than two characters would remain (赵县).
function stemOf(name) {
  const m = /^(.+?)(自治县|自治旗|林区|特区|新区|县|市|区|旗)$/.exec(name);
  if (!m) return null;
  const stem = stripNationalities(m[1], m[2].startsWith('自治')) || m[1];
  return chars(stem) >= 2 ? stem : null;
}

function checkKey(key, where) {
  if (chars(key) > kMaxKeyChars || kForbidden.test(key) || key !== key.trim() || !key) {
    throw new Error(`${where}: bad key '${key}'`);
  }
  return key;
}

module.exports = { keyOf, shortPrefecture, stemOf, checkKey, kMaxKeyChars, chars };
