#pragma once

#include "ui/Control.h"

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace zem::ui {

class Frame;

// Controls sharing one name and told apart by their index, such as txtNomeMisura(0..5).
template <class T>
class ControlArray {
public:
    ControlArray(Form& owner, const std::string& name, int count, Frame* container = nullptr)
    {
        for (int i = 0; i < count; ++i)
            elements_.push_back(std::make_unique<T>(owner, name, container, i));
    }

    int Count() const { return static_cast<int>(elements_.size()); }
    // Throws std::out_of_range for an index the array does not have.
    T& operator[](int index) const
    {
        if (index < 0 || index >= Count())
            throw std::out_of_range("no element " + std::to_string(index) + " in this control array");
        return *elements_[static_cast<std::size_t>(index)];
    }

private:
    std::vector<std::unique_ptr<T>> elements_;
};

} // namespace zem::ui
