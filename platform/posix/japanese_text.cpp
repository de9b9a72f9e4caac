// The weights of characters in Japanese text.
#include "platform/posix/japanese_text.h"

#include <unicode/ucnv.h>

#include <bitset>

namespace sorrel::platform {
namespace {

// Kanji common in Japanese text: those taught at primary school and a few
// dozen more of business letters; they make up over nine in ten of the kanji
// of ordinary prose, and a third of JIS X 0208's first level.
constexpr char16_t kCommonKanji[] =
    u"一右雨円王音下火花貝学気九休玉金空月犬見五口校左三山子四糸字耳七車手十出"
    u"女小上森人水正生青夕石赤千川先早草足村大男竹中虫町天田土二日入年白八百文"
    u"木本名目立力林六引羽雲園遠何科夏家歌画回会海絵外角楽活間丸岩顔汽記帰弓牛"
    u"魚京強教近兄形計元言原戸古午後語工公広交光考行高黄合谷国黒今才細作算止市"
    u"矢姉思紙寺自時室社弱首秋週春書少場色食心新親図数西声星晴切雪船線前組走多"
    u"太体台地池知茶昼長鳥朝直通弟店点電刀冬当東答頭同道読内南肉馬売買麦半番父"
    u"風分聞米歩母方北毎妹万明鳴毛門夜野友用曜来里理話悪安暗医委意育員院飲運泳"
    u"駅央横屋温化荷界開階寒感漢館岸起期客究急級宮球去橋業曲局銀区苦具君係軽血"
    u"決研県庫湖向幸港号根祭皿仕死使始指歯詩次事持式実写者主守取酒受州拾終習集"
    u"住重宿所暑助昭消商章勝乗植申身神真深進世整昔全相送想息速族他打対待代第題"
    u"炭短談着注柱丁帳調追定庭笛鉄転都度投豆島湯登等動童農波配倍箱畑発反坂板皮"
    u"悲美鼻筆氷表秒病品負部服福物平返勉放味命面問役薬由油有遊予羊洋葉陽様落流"
    u"旅両緑礼列練路和愛案以衣位囲胃印英栄塩億加果貨課芽改械害街各覚完官管関観"
    u"願希季紀喜旗器機議求泣救給挙漁共協鏡競極訓軍郡径型景芸欠結建健験固功好候"
    u"航康告差菜最材昨札刷殺察参産散残士氏史司試児治辞失借種周祝順初松笑唱焼象"
    u"照賞臣信成省清静席積折節説浅戦選然争倉巣束側続卒孫帯隊達単置仲貯兆腸低底"
    u"停的典伝徒努灯堂働特得毒熱念敗梅博飯飛費必票標不夫付府副粉兵別辺変便包法"
    u"望牧末満未脈民無約勇要養浴利陸良料量輪類令冷例歴連老労録圧移因永営衛易益"
    u"液演応往桜恩可仮価河過賀快解格確額刊幹慣眼基寄規技義逆久旧居許境均禁句群"
    u"経潔件券険検限現減故個護効厚耕鉱構興講混査再災妻採際在財罪雑酸賛支志枝師"
    u"資飼示似識質舎謝授修述術準序招承証条状常情織職制性政勢精製税責績接設舌絶"
    u"銭祖素総造像増則測属率損退貸態団断築張提程適敵統銅導徳独任燃能破犯判版比"
    u"肥非備俵評貧布婦富武復複仏編弁保墓報豊防貿暴務夢迷綿輸余預容略留領異遺域"
    u"宇映延沿我灰拡革閣割株干巻看簡危机揮貴疑吸供胸郷勤筋系敬警劇激穴絹権憲源"
    u"厳己呼誤后孝皇紅降鋼刻穀骨困砂座済裁策冊蚕至私姿視詞誌磁射捨尺若樹収宗就"
    u"衆従縦縮熟純処署諸除将傷障城蒸針仁垂推寸盛聖誠宣専泉洗染善奏窓創装層操蔵"
    u"臓存尊宅担探誕段暖値宙忠著庁頂潮賃痛展討党糖届難乳認納脳派拝背肺俳班晩否"
    u"批秘腹奮並陛閉片補暮宝訪亡忘棒枚幕密盟模訳郵優幼欲翌乱卵覧裏律臨朗論込払"
    u"頼締致伺御及択替換更項販般載扱依請含況紹介齢歳訂継撮影遅越頃彼誰僕殿宛";

struct KanjiSets {
  std::bitset<65536> common;
  std::bitset<65536> level1;  // JIS X 0208 rows 16-47
  std::bitset<65536> level2;  // JIS X 0208 rows 48-84
};

// The two levels of JIS X 0208, read from ICU's Shift-JIS table: level 1 is
// 889F-9872 in Shift-JIS, level 2 989F-EAA4.
KanjiSets MakeKanjiSets() {
  KanjiSets sets;
  for (const char16_t* kanji = kCommonKanji; *kanji != 0; ++kanji) sets.common.set(*kanji);
  UErrorCode error = U_ZERO_ERROR;
  UConverter* converter = ucnv_open("windows-31j", &error);
  if (U_FAILURE(error)) return sets;
  for (unsigned lead = 0x88; lead <= 0xEA; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      const unsigned code = lead << 8 | trail;
      if (trail == 0x7F || code < 0x889F || code > 0xEAA4) continue;
      const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      UChar unit = 0;
      UErrorCode unit_error = U_ZERO_ERROR;
      if (ucnv_toUChars(converter, &unit, 1, bytes, 2, &unit_error) != 1 || U_FAILURE(unit_error))
        continue;
      (code <= 0x9872 ? sets.level1 : sets.level2).set(unit);
    }
  }
  ucnv_close(converter);
  return sets;
}

const KanjiSets& Kanji() {
  static const KanjiSets sets = MakeKanjiSets();
  return sets;
}

bool IsUsualPunctuation(char16_t unit) {
  switch (unit) {
    case u'、':
    case u'。':
    case u'「':
    case u'」':
    case u'『':
    case u'』':
    case u'・':
    case u'（':
    case u'）':
    case u'！':
    case u'？':
    case u'：':
    case u'，':
    case u'．':
    case u'～':
      return true;
    default:
      return false;
  }
}

bool IsKanji(char32_t c) {
  return c >= 0x4E00 && c <= 0x9FFF;
}

bool IsHalfWidth(char32_t c) {
  return c >= 0xFF61 && c <= 0xFF9F;
}

// The half-width katakana that take the sound marks ﾞ and ﾟ.
bool TakesSoundMark(char16_t kana, char16_t mark) {
  const bool h_row = kana >= u'ﾊ' && kana <= u'ﾎ';
  if (mark == u'ﾟ') return h_row;
  return h_row || kana == u'ｳ' || (kana >= u'ｶ' && kana <= u'ﾄ') || kana == u'ﾜ' || kana == u'ｦ';
}

// The weight of the half-width character at text[i]. Half-width katakana
// come in words; bytes of other pages read as them (letters of Cyrillic,
// Greek or Latin script, symbols) come alone, or as ﾀ to ﾝ, or with a sound
// mark after a kana that cannot take one. ｦ to ｿ, ｰ among them, and the
// sound marks in their place only Japanese text is made of.
double HalfWidthWeight(std::u16string_view text, size_t i, bool* japanese) {
  const char16_t c = text[i];
  const bool in_word =
      (i > 0 && IsHalfWidth(text[i - 1])) || (i + 1 < text.size() && IsHalfWidth(text[i + 1]));
  if (!in_word) return -1;
  if (c == u'ﾞ' || c == u'ﾟ') {
    *japanese = i > 0 && TakesSoundMark(text[i - 1], c);
    return *japanese ? 2 : -3;
  }
  if (c >= u'ｦ' && c <= u'ｿ') {
    *japanese = true;
    return 2;
  }
  return c >= u'ﾀ' ? 0.5 : -1;  // ﾀ to ﾝ, or the punctuation ｡ to ･
}

// The weight of one character other than ASCII and outside the half-width
// forms, and whether only Japanese text is made of it.
double Weight(char32_t c, bool* japanese) {
  *japanese = false;
  if ((c >= 0x3041 && c <= 0x3096) || (c >= 0x30A1 && c <= 0x30FA) || c == 0x30FC || c == 0x3005) {
    *japanese = true;  // kana, the long vowel mark, the repetition mark
    return 3;
  }
  if (c <= 0xFFFF && IsUsualPunctuation(static_cast<char16_t>(c))) {
    *japanese = true;
    return 2;
  }
  if (IsKanji(c)) {
    const KanjiSets& kanji = Kanji();
    if (kanji.common[c]) {
      *japanese = true;
      return 2;
    }
    if (kanji.level1[c]) return -0.5;
    if (kanji.level2[c]) return -1.5;
    return -2;  // outside JIS X 0208
  }
  if (c == 0x3000 || (c >= 0xFF10 && c <= 0xFF5A)) return 1;  // full-width space, letters
  if ((c >= 0x3001 && c <= 0x303F) || (c >= 0x2010 && c <= 0x27FF) || c == 0x00A7 || c == 0x00B0 ||
      c == 0x00D7 || c == 0x00F7 || (c >= 0xFF01 && c <= 0xFF5E)) {
    return 0;  // the symbols of JIS X 0208 and their neighbours
  }
  if (c >= 0x0080 && c <= 0x009F) return -5;  // C1 controls
  if (c >= 0xE000 && c <= 0xF8FF) return -4;  // private use
  return -2;                                  // letters of other scripts, and anything else
}

}  // namespace

JapaneseEvidence WeighJapanese(std::u16string_view text) {
  JapaneseEvidence evidence;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c < 0x80) continue;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    bool japanese = false;
    const bool half_width = IsHalfWidth(c);
    evidence.weight += half_width ? HalfWidthWeight(text, i, &japanese) : Weight(c, &japanese);
    ++evidence.characters;
    evidence.japanese += japanese;
    evidence.kana += japanese && !half_width && !IsKanji(c);
  }
  return evidence;
}

}  // namespace sorrel::platform
