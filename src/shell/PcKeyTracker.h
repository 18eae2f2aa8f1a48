#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace ombrix::shell {

// Which computer keys are down, as the user pressed them. A key held with the
// keyboard's auto-repeat is one press and one release: a press of a key that is
// down is a repeat whatever the event says, and a release counts only once the
// key is really up. On X11 the server's repeats arrive as release and press
// pairs with one time stamp that the toolkit does not always pair up in time
// (under load, almost never), so a release is settled by asking whether the
// key is still down, and a press with its release's time stamp is the rest of
// a repeat. A modifier key (Shift, Ctrl, Alt) presses its own instrument key
// only when it goes up with no other key in between: held with another key it
// starts a shortcut or changes how that key presses.
class PcKeyTracker {
public:
    using Clock = std::chrono::steady_clock;
    // Longest wait for the rest of a repeat before a release is asked about again.
    static constexpr std::chrono::milliseconds kRepeatGrace{50};

    struct Event {
        int key = 0;                 // a Qt::Key value
        std::uint32_t scanCode = 0;  // the platform's code of the key, for KeyDown
        std::uint64_t timestamp = 0; // the window system's, in milliseconds; 0 unknown
        bool autoRepeat = false;     // the toolkit recognised a repeat
        bool ctrl = false;
        bool alt = false;
    };

    enum class Action { Press, Release };
    struct Output {
        Action action = Action::Press;
        int key = 0;
        bool ctrl = false;
        bool alt = false;
        friend bool operator==(const Output&, const Output&) = default;
    };

    // Whether the key with this scan code is down now; none where the platform
    // cannot tell, and releases are then taken as they come.
    using KeyDown = std::function<std::optional<bool>(std::uint32_t scanCode)>;

    explicit PcKeyTracker(KeyDown keyDown);

    std::vector<Output> Pressed(const Event& event, Clock::time_point now);
    std::vector<Output> Released(const Event& event, Clock::time_point now);
    // The releases that are due by `now` and whose keys are up.
    std::vector<Output> Settle(Clock::time_point now);
    // When Settle has something to look at again; none while nothing waits.
    std::optional<Clock::time_point> NextSettle() const;
    // The keyboard went to another window: every key is forgotten unreleased.
    void Clear();

private:
    struct Down {
        std::uint32_t scanCode = 0;
        bool modifier = false;
        bool alone = true;                       // a modifier with no other key since it went down
        std::optional<std::uint64_t> releasedAt; // a release waits to be settled
        Clock::time_point settleBy;
    };

    std::optional<bool> isDown(std::uint32_t scanCode) const;
    void commit(int key, std::vector<Output>& out);
    bool isRepeatOfCommitted(const Event& event) const;

    KeyDown keyDown_;
    std::map<int, Down> down_;
    // The time stamp of each key's last release taken: a press with it is the
    // rest of a repeat whose release was settled as real.
    std::map<int, std::uint64_t> committedAt_;
};

// Whether a Qt key is a modifier key.
bool IsModifierKey(int key);

} // namespace ombrix::shell
