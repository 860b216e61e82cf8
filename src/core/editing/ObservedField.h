#pragma once

#include <utility>

// Sets an observed field and emits its change signal, only when the value really changes.
template <typename Owner, typename T, typename Signal>
bool assignObserved(Owner* owner, T& field, T value, Signal changed) {
    if (field == value)
        return false;
    field = std::move(value);
    emit(owner->*changed)(field);
    return true;
}
