// The cancel-key test of long drawing, printing and simulation loops: F10 held down, or pressed
// since the previous test.
#pragma once

namespace qor::frontend {

struct KeyState {
    bool down = false;              // held at the moment of the query
    bool pressedSinceLast = false;  // pressed at any time since the previous query
};

// The state of the cancel key (F10). A query resets the pressed-since-last flag.
class CancelKeySource {
  public:
    virtual ~CancelKeySource() = default;
    virtual KeyState queryCancelKey() = 0;
};

// True when the cancel key is down now or has been pressed since the previous test.
bool CancelRequested(CancelKeySource& source);

// A cancel-key source fed with key events, for a GUI that sees presses and releases rather than
// asynchronous key states.
class LatchedCancelKey : public CancelKeySource {
  public:
    void pressed() {
        down_ = true;
        latched_ = true;
    }
    void released() { down_ = false; }
    KeyState queryCancelKey() override {
        const KeyState s{down_, latched_};
        latched_ = false;
        return s;
    }

  private:
    bool down_ = false;
    bool latched_ = false;
};

}  // namespace qor::frontend
