// The one shape of a notifying property setter.
#pragma once

#include <utility>

// Stores `value` in `member` and emits `changed` of `owner` when it differs; tells whether it
// did, for setters that act on a change.
template <typename Member, typename Value, typename Owner, typename Signal>
bool setAndNotify(Member& member, Value&& value, Owner* owner, Signal changed) {
    if (member == value)
        return false;
    member = std::forward<Value>(value);
    (owner->*changed)();
    return true;
}
