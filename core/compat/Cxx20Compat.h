#pragma once
// What the C++ library of Emscripten 3.1.6 (Debian 12) lacks of C++20 and the tests and the
// board file use: std::bit_cast, and std::to_chars / std::from_chars for float and double.
// Included ahead of every source of the board file and of the core's tests when they are
// built to WebAssembly; with a library that has them, this header adds nothing.
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <version>

namespace std {

#if !defined(__cpp_lib_bit_cast)
template <class To, class From>
constexpr To bit_cast(const From &from) noexcept
{
    return __builtin_bit_cast(To, from);
}
#endif

#if !defined(__cpp_lib_to_chars)
namespace compat_detail {

template <class T> T parse(const char *text, char **end);
template <> inline float parse<float>(const char *text, char **end) { return std::strtof(text, end); }
template <> inline double parse<double>(const char *text, char **end) { return std::strtod(text, end); }

// As std::to_chars writes a float or double: the fewest significant digits that read back as
// the same value, in fixed or scientific notation, whichever is shorter (fixed on a tie).
template <class T>
to_chars_result shortest(char *first, char *last, T value)
{
    constexpr int kMaxDigits = sizeof(T) == 4 ? 9 : 17;
    char text[400];
    int n = 0;
    if (!std::isfinite(value)) {
        n = std::snprintf(text, sizeof text, "%g", double(value)); // inf, -inf, nan, -nan
    } else {
        int digits = 1;
        for (; digits < kMaxDigits; ++digits) {
            std::snprintf(text, sizeof text, "%.*e", digits - 1, double(value));
            if (parse<T>(text, nullptr) == value)
                break;
        }
        n = std::snprintf(text, sizeof text, "%.*e", digits - 1, double(value));
        const int exponent = std::atoi(std::strchr(text, 'e') + 1);
        const int decimals = digits - 1 - exponent > 0 ? digits - 1 - exponent : 0;
        char fixed[400];
        const int f = std::snprintf(fixed, sizeof fixed, "%.*f", decimals, double(value));
        if (f > 0 && f <= n && f < int(sizeof fixed)) {
            std::memcpy(text, fixed, size_t(f) + 1);
            n = f;
        }
    }
    if (n < 0 || last - first < n)
        return {last, errc::value_too_large};
    std::memcpy(first, text, size_t(n));
    return {first + n, errc()};
}

// As std::from_chars reads a float or double: no leading space, no '+', no hexadecimal
// prefix.
template <class T>
from_chars_result read(const char *first, const char *last, T &value)
{
    const char *p = first;
    if (p != last && *p == '-')
        ++p;
    if (p == last || *p == '+' || *p == ' ' || (*p >= '\t' && *p <= '\r') ||
        (last - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')))
        return {first, errc::invalid_argument};
    const string text(first, last);
    char *end = nullptr;
    errno = 0;
    const T v = parse<T>(text.c_str(), &end);
    if (end == text.c_str())
        return {first, errc::invalid_argument};
    const char *stop = first + (end - text.c_str());
    // Beyond the range of the type: too large, or too small to be anything but zero. (A
    // subnormal result is in range, though the C library flags it.)
    if (errno == ERANGE && (std::isinf(v) || v == 0))
        return {stop, errc::result_out_of_range};
    value = v;
    return {stop, errc()};
}

} // namespace compat_detail

inline to_chars_result to_chars(char *first, char *last, float value)
{
    return compat_detail::shortest(first, last, value);
}
inline to_chars_result to_chars(char *first, char *last, double value)
{
    return compat_detail::shortest(first, last, value);
}
inline from_chars_result from_chars(const char *first, const char *last, float &value)
{
    return compat_detail::read(first, last, value);
}
inline from_chars_result from_chars(const char *first, const char *last, double &value)
{
    return compat_detail::read(first, last, value);
}
#endif

} // namespace std
