#pragma once

// The state of the keyboard's lock lights, as far as the desktop tells it. Under X11 the
// server is asked; elsewhere the state is not known and the caller keeps track of the keys.
namespace KeyLocks {

struct State {
    bool known = false;
    bool capsLock = false;
    bool numLock = false;
};

State query();

}  // namespace KeyLocks
