// Sorting records by a column: numbers as numbers, dates as dates, anything else as text without
// regard to case; stable, with empty cells last in either order.
#include "core/table/Table.h"

#include "core/columns/CellValue.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

namespace pellumar {

namespace {

unsigned char foldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return (c & 0x80) == 0; });
}

// Case-insensitive comparison of two texts, ASCII letters folded in place; texts with other
// letters arrive already case-folded.
int compareFolded(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char ca = foldAscii(static_cast<unsigned char>(a[i]));
        const unsigned char cb = foldAscii(static_cast<unsigned char>(b[i]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Eight folded bytes of a text from `from` on, the first one highest, zeros past its end.
uint64_t foldedBytes(std::string_view s, size_t from) {
    uint64_t bytes = 0;
    for (size_t i = from; i < from + 8; ++i) {
        const unsigned char b = i < s.size() ? foldAscii(static_cast<unsigned char>(s[i])) : 0;
        bytes = bytes << 8 | b;
    }
    return bytes;
}

}  // namespace

void Table::sortRows(int first, int last, int col, bool ascending) {
    first = std::max(first, 0);
    last = std::min(last, rowCount() - 1);
    if (col < 0 || col >= columnCount() || last - first < 1) {
        return;
    }
    mapRows();
    const Column* c = column(col);
    const auto begin = rowMap_.begin() + first;
    const auto end = rowMap_.begin() + last + 1;

    // Empty cells go last whatever the order.
    const auto filledEnd = std::stable_partition(
        begin, end, [c](uint32_t phys) { return !cellView(c, phys).empty(); });
    const auto count = static_cast<size_t>(filledEnd - begin);
    if (count < 2) {
        return;
    }

    // Numbers first, then dates, else text.
    struct NumberKey {
        double key;
        uint32_t phys;
    };
    std::vector<NumberKey> numbers;
    numbers.reserve(count);
    bool allNumbers = true;
    for (auto it = begin; it != filledEnd; ++it) {
        const auto v = parseNumber(cellView(c, *it));
        if (!v) {
            allNumbers = false;
            break;
        }
        numbers.push_back({*v, *it});
    }
    bool allDates = false;
    if (!allNumbers) {
        numbers.clear();
        allDates = true;
        for (auto it = begin; it != filledEnd; ++it) {
            const auto v = parseDateSerial(cellView(c, *it));
            if (!v) {
                allDates = false;
                break;
            }
            numbers.push_back({*v, *it});
        }
    }
    if (allNumbers || allDates) {
        if (ascending) {
            std::stable_sort(numbers.begin(), numbers.end(),
                             [](const NumberKey& a, const NumberKey& b) { return a.key < b.key; });
        } else {
            std::stable_sort(numbers.begin(), numbers.end(),
                             [](const NumberKey& a, const NumberKey& b) { return b.key < a.key; });
        }
        for (size_t i = 0; i < count; ++i) {
            *(begin + static_cast<std::ptrdiff_t>(i)) = numbers[i].phys;
        }
        return;
    }
    std::vector<NumberKey>().swap(numbers);

    // Each key carries its first 16 folded bytes, so that most comparisons settle without
    // reaching for the texts, which lie scattered once the rows have been moved about.
    struct TextKey {
        uint64_t head;
        uint64_t next;
        std::string_view key;
        uint32_t phys;
    };
    std::vector<TextKey> texts;
    texts.reserve(count);
    std::vector<QByteArray> folded;  // keys of texts with letters beyond ASCII
    for (auto it = begin; it != filledEnd; ++it) {
        std::string_view v = cellView(c, *it);
        if (!isAscii(v)) {
            folded.push_back(QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size()))
                                 .toCaseFolded()
                                 .toUtf8());
        }
        texts.push_back({0, 0, v, *it});
    }
    // Point the non-ASCII keys at their folded forms (the vector no longer grows).
    size_t f = 0;
    for (auto& t : texts) {
        if (!isAscii(t.key)) {
            t.key = std::string_view(folded[f].constData(), static_cast<size_t>(folded[f].size()));
            ++f;
        }
        t.head = foldedBytes(t.key, 0);
        t.next = foldedBytes(t.key, 8);
    }
    // The heads order as the texts do: they differ only where the texts' first difference is, or
    // where one text ends (zeros) and the other goes on; texts of up to 16 bytes are wholly in
    // them.
    const auto compare = [](const TextKey& a, const TextKey& b) {
        if (a.head != b.head) {
            return a.head < b.head ? -1 : 1;
        }
        if (a.next != b.next) {
            return a.next < b.next ? -1 : 1;
        }
        if (a.key.size() <= 16 && b.key.size() <= 16) {
            return a.key.size() == b.key.size() ? 0 : (a.key.size() < b.key.size() ? -1 : 1);
        }
        return compareFolded(a.key, b.key);
    };
    if (ascending) {
        std::stable_sort(texts.begin(), texts.end(),
                         [&](const TextKey& a, const TextKey& b) { return compare(a, b) < 0; });
    } else {
        std::stable_sort(texts.begin(), texts.end(),
                         [&](const TextKey& a, const TextKey& b) { return compare(b, a) < 0; });
    }
    for (size_t i = 0; i < count; ++i) {
        *(begin + static_cast<std::ptrdiff_t>(i)) = texts[i].phys;
    }
}

}  // namespace pellumar
