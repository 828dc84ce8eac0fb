#pragma once

// The one shape a failure takes from where it happens to where it is shown:
// a ReadProblem, with the offset and field when a file's bytes were at
// fault and the words alone otherwise. Operations that make a value return a
// Result; the file readers, which go on after a problem and fill their store
// as far as the file allows, report their first problem through a
// ProblemSink beside their result.

#include <string>
#include <utility>
#include <variant>

#include "common/read_problem.h"

namespace kelvane {

// A failure that names no place in a file: "cannot create the main window".
inline ReadProblem failure(std::string what) { return {0, "", std::move(what)}; }

// The value an operation made, or the problem that kept it from being made.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(ReadProblem problem) : state_(std::in_place_index<1>, std::move(problem)) {}

    explicit operator bool() const { return state_.index() == 0; }
    T& operator*() { return std::get<0>(state_); }
    const T& operator*() const { return std::get<0>(state_); }
    T* operator->() { return &std::get<0>(state_); }
    const T* operator->() const { return &std::get<0>(state_); }
    // Only on failure.
    const ReadProblem& problem() const { return std::get<1>(state_); }

private:
    std::variant<T, ReadProblem> state_;
};

// What an operation that makes no value gives on success.
struct Done {};
using Outcome = Result<Done>;

}  // namespace kelvane
