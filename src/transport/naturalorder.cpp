#include "transport/naturalorder.h"

namespace veltrin {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Compares the digit runs starting at a[i] and b[j] by value, without converting them, so runs
// of any length work; advances i and j past them.
int CompareNumbers(std::string_view a, std::size_t& i, std::string_view b, std::size_t& j) {
    while (i < a.size() && a[i] == '0')
        ++i;
    while (j < b.size() && b[j] == '0')
        ++j;
    const std::size_t startA = i;
    const std::size_t startB = j;
    while (i < a.size() && IsDigit(a[i]))
        ++i;
    while (j < b.size() && IsDigit(b[j]))
        ++j;
    const std::string_view digitsA = a.substr(startA, i - startA);
    const std::string_view digitsB = b.substr(startB, j - startB);
    if (digitsA.size() != digitsB.size())
        return digitsA.size() < digitsB.size() ? -1 : 1;
    return digitsA.compare(digitsB);
}

}  // namespace

bool NaturalLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const int order = CompareNumbers(a, i, b, j);
            if (order != 0)
                return order < 0;
            continue;
        }
        if (a[i] != b[j]) {
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        }
        ++i;
        ++j;
    }
    if ((i < a.size()) != (j < b.size()))
        return j < b.size();
    return a < b;
}

}  // namespace veltrin
