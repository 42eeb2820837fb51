// The outcome of a file operation: a value, or an error with a message for the user.
//
// The message names the file and says in plain words what went wrong ("Cannot open C:\x.csv: the
// file does not exist."); the core never shows it, the caller does (or ignores it).
#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>
#include <utility>
#include <variant>

#include "core/table/TableLimits.h"  // the loaders refuse files that go past a table's limits

namespace pellumar {

struct FileError {
    enum class Reason {
        Missing,      // the file or its folder does not exist
        NoAccess,     // permission denied, or the name is a folder
        ReadFailed,   // the system could not read it
        NotOurs,      // not a Pellumar file
        Newer,        // written by a newer version of Pellumar
        Damaged,      // truncated, corrupted or inconsistent
        TooLarge,     // more rows or columns than a table can have, or more memory than is free
        NoMemory,     // the system gave no memory for it
        WriteFailed,  // the file could not be written; an old file is left whole
        Cancelled,    // the progress callback asked to stop
        BadArgument,  // the caller asked for something impossible (e.g. a separator)
    };
    Reason reason;
    QString message;
};

// Called while a file loads, every few MB and once at the end, with the bytes read so far and
// the file's size; returning false cancels the load (the result is then a Cancelled error).
using Progress = std::function<bool(qint64 done, qint64 total)>;

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : v_(std::in_place_index<0>, std::move(value)) {}
    Result(FileError error) : v_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }

    // Only when ok().
    T& value() { return std::get<0>(v_); }
    const T& value() const { return std::get<0>(v_); }
    T take() { return std::move(std::get<0>(v_)); }
    // Only when !ok().
    const FileError& error() const { return std::get<1>(v_); }
    const QString& message() const { return error().message; }

private:
    std::variant<T, FileError> v_;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(FileError error) : error_(std::move(error)) {}

    bool ok() const { return !error_.has_value(); }
    explicit operator bool() const { return ok(); }
    const FileError& error() const { return *error_; }
    const QString& message() const { return error_->message; }

private:
    std::optional<FileError> error_;
};

}  // namespace pellumar
