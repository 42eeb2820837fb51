// The text a picture writes, built on the stack for ordinary cell lengths so that formatting a cell
// costs at most the one allocation of the resulting QString.
#pragma once

#include <QString>
#include <QStringView>

#include <algorithm>
#include <memory>
#include <string_view>

namespace pellumar {

class FormatBuffer {
public:
    FormatBuffer() = default;
    FormatBuffer(const FormatBuffer&) = delete;
    FormatBuffer& operator=(const FormatBuffer&) = delete;

    void append(char16_t c) {
        if (size_ == capacity_) {
            grow(size_ + 1);
        }
        data_[size_++] = c;
    }
    void append(std::string_view ascii) {
        reserveMore(ascii.size());
        for (char c : ascii) {
            data_[size_++] = static_cast<char16_t>(c);
        }
    }
    // The number in decimal digits, with leading zeros up to minDigits.
    void appendNumber(long long value, int minDigits) {
        if (value >= 0 && value < 100 && minDigits <= 2) {  // the fields of dates and times
            reserveMore(2);
            if (value >= 10 || minDigits == 2) {
                data_[size_++] = static_cast<char16_t>(u'0' + value / 10);
            }
            data_[size_++] = static_cast<char16_t>(u'0' + value % 10);
            return;
        }
        char digits[24];
        size_t n = 0;
        unsigned long long v = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                         : static_cast<unsigned long long>(value);
        do {
            digits[n++] = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v != 0);
        const size_t zeros = minDigits > 0 && static_cast<size_t>(minDigits) > n
                                 ? static_cast<size_t>(minDigits) - n
                                 : 0;
        reserveMore(n + zeros + 1);
        if (value < 0) {
            data_[size_++] = u'-';
        }
        for (size_t i = 0; i < zeros; ++i) {
            data_[size_++] = u'0';
        }
        while (n > 0) {
            data_[size_++] = static_cast<char16_t>(digits[--n]);
        }
    }

    qsizetype size() const { return static_cast<qsizetype>(size_); }
    QStringView view() const { return QStringView(data_, static_cast<qsizetype>(size_)); }
    QString toString() const { return view().toString(); }

private:
    void reserveMore(size_t extra) {
        if (size_ + extra > capacity_) {
            grow(size_ + extra);
        }
    }
    void grow(size_t needed) {
        const size_t capacity = std::max(needed, capacity_ * 2);
        auto heap = std::make_unique_for_overwrite<char16_t[]>(capacity);
        std::copy(data_, data_ + size_, heap.get());
        heap_ = std::move(heap);
        data_ = heap_.get();
        capacity_ = capacity;
    }

    static constexpr size_t kInline = 128;
    char16_t inline_[kInline];
    char16_t* data_ = inline_;
    size_t size_ = 0;
    size_t capacity_ = kInline;
    std::unique_ptr<char16_t[]> heap_;
};

}  // namespace pellumar
