#include "spelldata/TextLines.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace spelldata {

namespace {

std::size_t findEitherPlain(const char* text, std::size_t size, char a, char b) {
    for (std::size_t i = 0; i < size; ++i) {
        if (text[i] == a || text[i] == b)
            return i;
    }
    return size;
}

#if defined(__SSE2__)
// Sixteen bytes at a time, one pass over the text for both bytes. The last
// sixteen bytes are looked at as one block, overlapping bytes already seen
// (which hold neither byte), rather than one by one.
std::size_t findEitherSse2(const char* text, std::size_t size, char a, char b) {
    if (size < 16)
        return findEitherPlain(text, size, a, b);
    const __m128i wideA = _mm_set1_epi8(a);
    const __m128i wideB = _mm_set1_epi8(b);
    auto hits = [&](std::size_t at) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
        return static_cast<unsigned>(_mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, wideA), _mm_cmpeq_epi8(bytes, wideB))));
    };
    for (std::size_t i = 0; i + 16 <= size; i += 16) {
        if (const unsigned mask = hits(i); mask != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(mask));
    }
    if (const unsigned mask = hits(size - 16); mask != 0)
        return size - 16 + static_cast<std::size_t>(__builtin_ctz(mask));
    return size;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QUARVINE_WIDE_SEARCH 1
// The same 32 bytes at a time, on processors that have AVX2.
__attribute__((target("avx2"))) std::size_t findEitherAvx2(const char* text, std::size_t size,
                                                           char a, char b) {
    if (size < 32)
        return findEitherSse2(text, size, a, b);
    const __m256i wideA = _mm256_set1_epi8(a);
    const __m256i wideB = _mm256_set1_epi8(b);
    // Every block but the last starts at i; the last ends at the text's end.
    for (std::size_t i = 0;; i += 32) {
        const std::size_t at = i + 32 <= size ? i : size - 32;
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + at));
        const auto mask = static_cast<unsigned>(_mm256_movemask_epi8(
            _mm256_or_si256(_mm256_cmpeq_epi8(bytes, wideA), _mm256_cmpeq_epi8(bytes, wideB))));
        if (mask != 0)
            return at + static_cast<std::size_t>(__builtin_ctz(mask));
        if (at + 32 >= size)
            return size;
    }
}
#endif
#endif

using FindEither = std::size_t (*)(const char*, std::size_t, char, char);

FindEither chooseFindEither() {
#if defined(QUARVINE_WIDE_SEARCH)
    if (__builtin_cpu_supports("avx2"))
        return findEitherAvx2;
#endif
#if defined(__SSE2__)
    return findEitherSse2;
#else
    return findEitherPlain;
#endif
}

} // namespace

std::size_t FindEitherByte(const char* text, std::size_t size, char a, char b) {
    static const FindEither find = chooseFindEither();
    return find(text, size, a, b);
}

bool LineReader::next(std::string_view& line) {
    if (atEnd())
        return false;
    const char* begin = text_.data() + pos_;
    const std::size_t left = text_.size() - pos_;
    const std::size_t end = FindLineEnd(begin, left);

    line = std::string_view(begin, end);
    pos_ += LineLength(begin, end, left);
    ++lineNumber_;
    return true;
}

std::string Excerpt(std::string_view text, std::size_t max) {
    if (text.size() <= max)
        return std::string(text);
    return std::string(text.substr(0, max)) + "...";
}

} // namespace spelldata
