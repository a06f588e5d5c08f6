#include "gbk.h"

#include <cstring>
#include <vector>

#include "random.h"

namespace {

// Alphabetical, as the first GB2312 level is.
const char all_syllables[] =
    "a ai an ang ao ba bai ban bang bao bei ben beng bi bian biao bie bin bing bo bu "
    "ca cai can cang cao ce cen ceng cha chai chan chang chao che chen cheng chi chong chou "
    "chu chua chuai chuan chuang chui chun chuo ci cong cou cu cuan cui cun cuo "
    "da dai dan dang dao de deng di dian diao die ding diu dong dou du duan dui dun duo "
    "e ei en er fa fan fang fei fen feng fo fou fu "
    "ga gai gan gang gao ge gei gen geng gong gou gu gua guai guan guang gui gun guo "
    "ha hai han hang hao he hei hen heng hong hou hu hua huai huan huang hui hun huo "
    "ji jia jian jiang jiao jie jin jing jiong jiu ju juan jue jun "
    "ka kai kan kang kao ke ken keng kong kou ku kua kuai kuan kuang kui kun kuo "
    "la lai lan lang lao le lei leng li lia lian liang liao lie lin ling liu long lou lu "
    "luan lun luo lv lve ma mai man mang mao me mei men meng mi mian miao mie min ming miu "
    "mo mou mu na nai nan nang nao ne nei nen neng ni nian niang niao nie nin ning niu nong "
    "nu nuan nuo nv nve o ou pa pai pan pang pao pei pen peng pi pian piao pie pin ping po "
    "pou pu qi qia qian qiang qiao qie qin qing qiong qiu qu quan que qun "
    "ran rang rao re ren reng ri rong rou ru ruan rui run ruo "
    "sa sai san sang sao se sen seng sha shai shan shang shao she shen sheng shi shou shu "
    "shua shuai shuan shuang shui shun shuo si song sou su suan sui sun suo "
    "ta tai tan tang tao te teng ti tian tiao tie ting tong tou tu tuan tui tun tuo "
    "wa wai wan wang wei wen weng wo wu xi xia xian xiang xiao xie xin xing xiong xiu xu "
    "xuan xue xun ya yan yang yao ye yi yin ying yo yong you yu yuan yue yun "
    "za zai zan zang zao ze zei zen zeng zha zhai zhan zhang zhao zhe zhen zheng zhi zhong "
    "zhou zhu zhua zhuai zhuan zhuang zhui zhun zhuo zi zong zou zu zuan zui zun zuo";

const std::vector<std::string>& syllables() {
  static const std::vector<std::string> list = [] {
    std::vector<std::string> out;
    const char* p = all_syllables;
    while (*p) {
      const char* end = std::strchr(p, ' ');
      if (!end) end = p + std::strlen(p);
      out.emplace_back(p, end);
      p = *end ? end + 1 : end;
    }
    return out;
  }();
  return list;
}

// Frequency rank -> character: a fixed shuffle, so that the common characters
// are spread over all syllables instead of bunching at "a".
const std::vector<unsigned>& rank_order() {
  static const std::vector<unsigned> order = [] {
    std::vector<unsigned> out(hanzi_count);
    for (unsigned i = 0; i < hanzi_count; ++i) out[i] = i;
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (unsigned i = hanzi_count - 1; i > 0; --i) {
      unsigned j = random_below(state, i + 1);
      unsigned t = out[i];
      out[i] = out[j];
      out[j] = t;
    }
    return out;
  }();
  return order;
}

}  // namespace

void append_hanzi(file_bytes& out, unsigned index) {
  index %= hanzi_count;
  out.push_back(static_cast<unsigned char>(0xB0 + index / 94));
  out.push_back(static_cast<unsigned char>(0xA1 + index % 94));
}

unsigned pick_hanzi(std::uint64_t& state) {
  // The product of two uniform draws leans hard towards small ranks.
  std::uint32_t a = random_below(state, hanzi_count);
  std::uint32_t b = random_below(state, hanzi_count);
  return rank_order()[(a * b) / hanzi_count];
}

const char* pinyin_of(unsigned index) {
  const std::vector<std::string>& list = syllables();
  return list[(index % hanzi_count) * list.size() / hanzi_count].c_str();
}

void append_text(file_bytes& out, const char* text) {
  out.insert(out.end(), text, text + std::strlen(text));
}
