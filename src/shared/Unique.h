// One owner for every kind of handle and resource: a kind is a small traits type that names the held
// value, its empty value and how to let it go. Move-only; the held value is let go on scope exit.
//
//   struct FindTraits {
//       using type = HANDLE;
//       static constexpr type empty() noexcept { return INVALID_HANDLE_VALUE; }
//       static void close(type h) noexcept { ::FindClose(h); }
//   };
//   using FindHandle = Unique<FindTraits>;
#pragma once

#include <utility>

template <class Traits> class Unique {
public:
    using type = typename Traits::type;

    Unique() noexcept = default;
    explicit Unique(type value) noexcept : m_value(value) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& o) noexcept : m_value(o.release()) {}
    Unique& operator=(Unique&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    ~Unique() { reset(); }

    // Lets go of what is held and takes value instead.
    void reset(type value = Traits::empty()) noexcept {
        type old = std::exchange(m_value, value);
        if (!IsEmpty(old)) Traits::close(old);
    }
    // Gives up ownership without letting go.
    type release() noexcept { return std::exchange(m_value, Traits::empty()); }
    const type& get() const noexcept { return m_value; }
    explicit operator bool() const noexcept { return !IsEmpty(m_value); }
    // For out parameters: lets go of what is held and gives the slot.
    type* put() noexcept {
        reset();
        return &m_value;
    }
    void swap(Unique& o) noexcept { std::swap(m_value, o.m_value); }

private:
    static bool IsEmpty(const type& value) noexcept {
        if constexpr (requires { Traits::isEmpty(value); })
            return Traits::isEmpty(value);
        else
            return value == Traits::empty();
    }
    type m_value = Traits::empty();
};
