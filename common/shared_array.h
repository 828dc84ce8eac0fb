#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace kelvane {

// Elements that never change once made: either a view into the bytes a
// load read (kept alive by the array, so a store outlives the reader) or
// elements of its own. Loads view the file wherever the elements lie in it
// as they are, which spares a copy of the file into memory that would first
// have to be faulted in page by page. Copies share the elements.
template <typename T>
class SharedArray {
public:
    using value_type = T;
    using size_type = std::size_t;
    using const_iterator = const T*;
    using iterator = const T*;
    using const_reference = const T&;
    using reference = const T&;

    SharedArray() = default;
    // Elements of its own.
    SharedArray(std::vector<T> elements) {  // NOLINT: as a vector is assigned to it
        if (elements.empty()) return;
        auto owned = std::make_shared<const std::vector<T>>(std::move(elements));
        data_ = owned->data();
        size_ = owned->size();
        owner_ = std::move(owned);
    }
    SharedArray(std::initializer_list<T> elements) : SharedArray(std::vector<T>(elements)) {}
    // A view of `size` elements at `data`, which `owner` keeps alive.
    SharedArray(std::shared_ptr<const void> owner, const T* data, std::size_t size)
        : owner_(size ? std::move(owner) : nullptr), data_(size ? data : nullptr), size_(size), view_(size != 0) {}

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const T* data() const { return data_; }
    const T& operator[](std::size_t i) const { return data_[i]; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }
    operator std::span<const T>() const { return {data_, size_}; }  // NOLINT: a view like any other

    // Whether the elements lie in bytes owned by something else (a file
    // read), and whether that is `owner`.
    bool isView() const { return view_; }
    bool viewsInto(const std::shared_ptr<const void>& owner) const { return view_ && owner_ == owner; }
    // Takes a copy of the elements of its own, so that what it viewed can go.
    void ownElements() {
        if (view_) *this = SharedArray(std::vector<T>(begin(), end()));
    }

private:
    std::shared_ptr<const void> owner_;
    const T* data_ = nullptr;
    std::size_t size_ = 0;
    bool view_ = false;
};

}  // namespace kelvane
