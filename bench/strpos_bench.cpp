// STRPOS on long texts against the plain substring search of INSTRING doing the same job in the
// same run: a 1 MB text with a 1,001-character literal that is absent and one that stands at its
// end, a literal behind a set (the automaton runs, the literal only filters), and an alternation
// of 2,000 five-letter words on a 10 KB text (of other letters, and of the words' own), whose
// plain counterpart searches each word in turn.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "runtime/core/thread_context.h"
#include "runtime/eval/match.h"
#include "runtime/eval/text_ops.h"

namespace {

const std::string kLongText(1048576, 'a');
const std::string kLongTextEndingInLiteral = kLongText + 'b';
const std::string kLiteral = std::string(1000, 'a') + 'b';

struct Words {
  std::vector<std::string> list;
  std::string alternation;
  std::string text;     // 10 KB of letters holding none of the words
  std::string related;  // 10 KB of the words' own letters: many partial matches

  Words() {
    std::mt19937 engine(1);
    auto letters = [&](size_t n, const char* from) {
      std::string s(n, ' ');
      for (char& c : s) c = from[std::uniform_int_distribution<int>(0, 12)(engine)];
      return s;
    };
    for (int i = 0; i < 2000; ++i) {
      list.push_back(letters(5, "abcdefghijklm"));  // words from the first half of the alphabet
      alternation += (i ? "|" : "") + list.back();
    }
    text = letters(10240, "nopqrstuvwxyz");  // the text from the second
    related = letters(10240, "abcdefghijklm");
  }
};
const Words kWords;

void BM_LiteralAbsent_Strpos(benchmark::State& state) {
  tamsil::ThreadContextScope context;
  for (auto _ : state) benchmark::DoNotOptimize(tamsil::stringPosition(kLongText, kLiteral, 0));
}
BENCHMARK(BM_LiteralAbsent_Strpos)->Unit(benchmark::kMicrosecond);

void BM_LiteralAbsent_Instring(benchmark::State& state) {
  tamsil::ThreadContextScope context;
  for (auto _ : state) benchmark::DoNotOptimize(tamsil::textops::inString(kLiteral, kLongText, 1, 1));
}
BENCHMARK(BM_LiteralAbsent_Instring)->Unit(benchmark::kMicrosecond);

void BM_LiteralAtEnd_Strpos(benchmark::State& state) {
  tamsil::ThreadContextScope context;
  for (auto _ : state) benchmark::DoNotOptimize(tamsil::stringPosition(kLongTextEndingInLiteral, kLiteral, 0));
}
BENCHMARK(BM_LiteralAtEnd_Strpos)->Unit(benchmark::kMicrosecond);

void BM_LiteralAtEnd_Instring(benchmark::State& state) {
  tamsil::ThreadContextScope context;
  for (auto _ : state) benchmark::DoNotOptimize(tamsil::textops::inString(kLiteral, kLongTextEndingInLiteral, 1, 1));
}
BENCHMARK(BM_LiteralAtEnd_Instring)->Unit(benchmark::kMicrosecond);

void BM_SetThenLiteralAtEnd_Strpos(benchmark::State& state) {
  tamsil::ThreadContextScope context;
  const std::string pattern = "[ab]" + kLiteral;
  for (auto _ : state) benchmark::DoNotOptimize(tamsil::stringPosition(kLongTextEndingInLiteral, pattern, 0));
}
BENCHMARK(BM_SetThenLiteralAtEnd_Strpos)->Unit(benchmark::kMicrosecond);

void BM_Alternation_Strpos(benchmark::State& state) {
  tamsil::ThreadContextScope context;
  for (auto _ : state) benchmark::DoNotOptimize(tamsil::stringPosition(kWords.text, kWords.alternation, 0));
}
BENCHMARK(BM_Alternation_Strpos)->Unit(benchmark::kMicrosecond);

void BM_Alternation_InstringEachWord(benchmark::State& state) {
  tamsil::ThreadContextScope context;
  for (auto _ : state)
    for (const std::string& word : kWords.list) benchmark::DoNotOptimize(tamsil::textops::inString(word, kWords.text, 1, 1));
}
BENCHMARK(BM_Alternation_InstringEachWord)->Unit(benchmark::kMicrosecond);

void BM_AlternationRelatedText_Strpos(benchmark::State& state) {
  tamsil::ThreadContextScope context;
  for (auto _ : state) benchmark::DoNotOptimize(tamsil::stringPosition(kWords.related, kWords.alternation, 0));
}
BENCHMARK(BM_AlternationRelatedText_Strpos)->Unit(benchmark::kMicrosecond);

void BM_AlternationRelatedText_InstringEachWord(benchmark::State& state) {
  tamsil::ThreadContextScope context;
  for (auto _ : state)
    for (const std::string& word : kWords.list) benchmark::DoNotOptimize(tamsil::textops::inString(word, kWords.related, 1, 1));
}
BENCHMARK(BM_AlternationRelatedText_InstringEachWord)->Unit(benchmark::kMicrosecond);

// The everyday case: a short pattern on a short text, where setting up the search counts.
void BM_ShortText_Strpos(benchmark::State& state) {
  tamsil::ThreadContextScope context;
  for (auto _ : state) benchmark::DoNotOptimize(tamsil::stringPosition("Smith, John  ", "{Jo|Ja}hn", 0));
}
BENCHMARK(BM_ShortText_Strpos);

void BM_ShortText_Instring(benchmark::State& state) {
  tamsil::ThreadContextScope context;
  for (auto _ : state) benchmark::DoNotOptimize(tamsil::textops::inString("John", "Smith, John  ", 1, 1));
}
BENCHMARK(BM_ShortText_Instring);

}  // namespace
