#pragma once

#include <array>
#include <cstddef>

// A row of controls indexed from 0. Element 0 is built from the window's
// design values; Load(i) makes element i as a hidden copy of element 0,
// replacing any element i made before.
template <typename Control, std::size_t Count>
class ControlArray
{
public:
    static constexpr int size() { return int(Count); }

    void setElement0(Control *control) { m_items[0] = control; }
    Control *Load(int index)
    {
        delete m_items[index];
        m_items[index] = m_items[0]->cloneHidden();
        return m_items[index];
    }

    Control *operator[](int index) const { return m_items[index]; }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::array<Control *, Count> m_items{};
};
