// The hook library: HookOn starts capturing every keyboard and mouse event of the X display on a thread
// of its own, HookOff ends it. Each event goes to the window named in the handle block as a client
// message; the pointer travels in the pointer block, written before the message is sent.
#include "platform/api/macro_hook.h"
#include "platform/linux/hook/lock_watch.h"
#include "platform/linux/hook/record_event_codes.h"
#include "platform/linux/hotkeys/key_positions.h"
#include "platform/linux/hotkeys/vk_keysym.h"
#include "platform/linux/macro_hook/hook_message_atom.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <poll.h>
#include <set>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

// clang-format off
// Xlib defines macros (None, Bool, Status) that break headers included after it, so it comes last.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/XI2proto.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/record.h>
// clang-format on

namespace {

using namespace orvanta;
namespace lx = orvanta::platform::linux_backend;

constexpr std::uint32_t kHookMessage = 0x1400;
constexpr unsigned kStopKey = 123; // F12

// A block the recorder made, opened by name; only this user's blocks are used.
class SharedBlock {
  public:
    explicit SharedBlock(const char* name) {
        const std::string objectName = lx::SharedBlockObjectName(name);
        const int fd = shm_open(objectName.c_str(), O_RDWR | O_CLOEXEC, 0);
        if (fd < 0) return;
        struct stat st {};
        if (fstat(fd, &st) == 0 && st.st_uid == geteuid() && st.st_size >= lx::kSharedBlockBytes) {
            void* memory = mmap(nullptr, lx::kSharedBlockBytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
            if (memory != MAP_FAILED) memory_ = static_cast<char*>(memory);
        }
        close(fd);
    }
    ~SharedBlock() {
        if (memory_) munmap(memory_, lx::kSharedBlockBytes);
    }
    SharedBlock(const SharedBlock&) = delete;
    SharedBlock& operator=(const SharedBlock&) = delete;

    bool mapped() const { return memory_ != nullptr; }
    std::int32_t read(std::size_t offset) const {
        std::int32_t v = 0;
        std::memcpy(&v, memory_ + offset, 4);
        return v;
    }
    void write(std::size_t offset, std::int32_t v) { std::memcpy(memory_ + offset, &v, 4); }

  private:
    char* memory_ = nullptr;
};

class Recorder {
  public:
    // Opens everything a recording needs; ok() says whether it all worked.
    Recorder() : handleBlock_(lx::kHandleBlockName), pointerBlock_(lx::kPointerBlockName) {
        Open();
        // The recorder reads this after HookOn, to say so instead of waiting for events that never come.
        if (!enabled_ && pointerBlock_.mapped())
            pointerBlock_.write(platform::kHookStatusOffset, platform::kHookCannotCapture);
    }

    void Open() {
        if (!handleBlock_.mapped() || !pointerBlock_.mapped()) return;
        window_ = static_cast<std::uint32_t>(handleBlock_.read(0));
        // Three connections, each used by one thread only: the context is made and ended on control,
        // data delivers the recorded events, and the sender (on the recording thread) looks up keys,
        // sends the messages and tries the keyboard. The sender is an xcb connection, whose errors (a window
        // that has gone) come back as events instead of ending the process.
        control_ = XOpenDisplay(nullptr);
        data_ = XOpenDisplay(nullptr);
        keys_ = XOpenDisplay(nullptr);
        sender_ = xcb_connect(nullptr, nullptr);
        if (!control_ || !data_ || !keys_ || xcb_connection_has_error(sender_) || window_ == 0) return;
        senderBase_ = xcb_get_setup(sender_)->resource_id_base;
        int major = 0, minor = 0;
        if (!XRecordQueryVersion(control_, &major, &minor)) return;
        positions_.read(keys_);
        const xcb_intern_atom_cookie_t cookie =
            xcb_intern_atom(sender_, 0, std::strlen(lx::kHookMessageAtomName), lx::kHookMessageAtomName);
        if (xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(sender_, cookie, nullptr)) {
            atom_ = reply->atom;
            std::free(reply);
        }
        XRecordRange* ranges[2] = {XRecordAllocRange(), XRecordAllocRange()};
        int rangeCount = 1;
        if (ranges[0]) {
            ranges[0]->device_events.first = KeyPress;
            ranges[0]->device_events.last = MotionNotify;
            // Keyboard grabs of other programs (a password prompt, a screen locker) and their end.
            ranges[0]->core_requests.first = X_GrabKeyboard;
            ranges[0]->core_requests.last = X_UngrabKeyboard;
            ranges[0]->client_died = True;
        }
        int event = 0, error = 0;
        if (ranges[1] && XQueryExtension(keys_, "XInputExtension", &inputOpcode_, &event, &error)) {
            ranges[1]->ext_requests.ext_major.first = static_cast<unsigned char>(inputOpcode_);
            ranges[1]->ext_requests.ext_major.last = static_cast<unsigned char>(inputOpcode_);
            ranges[1]->ext_requests.ext_minor.first = X_XIGrabDevice;
            ranges[1]->ext_requests.ext_minor.last = X_XIUngrabDevice;
            rangeCount = 2;
            ReadPointers();
        }
        XRecordClientSpec clients = XRecordAllClients;
        if (ranges[0]) context_ = XRecordCreateContext(control_, 0, &clients, 1, ranges, rangeCount);
        for (XRecordRange* range : ranges)
            if (range) XFree(range);
        XSync(control_, False);
        if (context_ == 0 || atom_ == 0 || pipe2(wake_, O_CLOEXEC) != 0) return;
        lock_ = std::make_unique<hook::LockWatch>([this] { ShowPaused(); });
        ShowPaused();
        if (!XRecordEnableContextAsync(data_, context_, &Recorder::OnRecorded,
                                       reinterpret_cast<XPointer>(this)))
            return;
        enabled_ = true;
        thread_ = std::thread([this] { Run(); });
    }

    ~Recorder() {
        if (enabled_) {
            XRecordDisableContext(control_, context_);
            XSync(control_, False);
        }
        if (thread_.joinable()) {
            const char stop = 1;
            [[maybe_unused]] const auto written = ::write(wake_[1], &stop, 1);
            thread_.join();
        }
        if (context_) XRecordFreeContext(control_, context_);
        for (int fd : wake_)
            if (fd >= 0) close(fd);
        if (control_) XCloseDisplay(control_);
        if (data_) XCloseDisplay(data_);
        if (keys_) XCloseDisplay(keys_);
        if (sender_) xcb_disconnect(sender_);
    }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

  private:
    void Run() {
        std::vector<pollfd> fds;
        for (;;) {
            XRecordProcessReplies(data_);
            lock_->process();
            fds = {{ConnectionNumber(data_), POLLIN, 0}, {wake_[0], POLLIN, 0}};
            lock_->addPollFds(fds);
            if (poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) return;
            if (fds[1].revents) return;
            if (fds[0].revents & (POLLERR | POLLHUP)) return;
        }
    }

    static void OnRecorded(XPointer closure, XRecordInterceptData* recorded) {
        auto* self = reinterpret_cast<Recorder*>(closure);
        if (recorded->category == XRecordFromServer && recorded->data_len * 4 >= sizeof(xEvent))
            self->Deliver(*reinterpret_cast<const xEvent*>(recorded->data));
        else if (recorded->category == XRecordFromClient && recorded->data_len * 4 >= 4)
            self->OnRequest(recorded->id_base, recorded->data, recorded->data_len * 4);
        else if (recorded->category == XRecordClientDied)
            self->GrabEnded(recorded->id_base);
        XRecordFreeData(recorded);
    }

    // Whatever the user types while another program holds the keyboard is meant for that program alone
    // (a password prompt, a screen locker), so it is not recorded. A grab that the server refused counts
    // as well: telling it apart would mean following every client's replies, and a pause too many loses
    // less than a password recorded.
    void OnRequest(XID client, const unsigned char* request, std::size_t bytes) {
        const unsigned major = request[0];
        if (major == X_GrabKeyboard) {
            GrabStarted(client);
        } else if (major == X_UngrabKeyboard) {
            GrabEnded(client);
        } else if (inputOpcode_ != 0 && major == static_cast<unsigned>(inputOpcode_) &&
                   bytes >= sizeof(xXIUngrabDeviceReq)) {
            const unsigned minor = request[1];
            // Both requests carry the device at the same place.
            std::uint16_t device = 0;
            if (minor == X_XIGrabDevice && bytes >= sizeof(xXIGrabDeviceReq)) {
                std::memcpy(&device, request + offsetof(xXIGrabDeviceReq, deviceid), sizeof device);
                if (IsKeyboard(device)) GrabStarted(client);
            } else if (minor == X_XIUngrabDevice) {
                std::memcpy(&device, request + offsetof(xXIUngrabDeviceReq, deviceid), sizeof device);
                if (IsKeyboard(device)) GrabEnded(client);
            }
        }
    }

    // A device that came after the start of the recording may be a keyboard as well.
    bool IsKeyboard(int device) const { return pointers_.count(device) == 0; }

    // The pointing devices are learnt once: asking about one device later could end in an X error for a
    // device that has gone, and Xlib ends the process on those.
    void ReadPointers() {
        int major = 2, minor = 0;
        if (XIQueryVersion(keys_, &major, &minor) != Success) return;
        int count = 0;
        XIDeviceInfo* info = XIQueryDevice(keys_, XIAllDevices, &count);
        for (int i = 0; info && i < count; ++i)
            if (info[i].use == XIMasterPointer || info[i].use == XISlavePointer ||
                info[i].use == XIFloatingSlave)
                pointers_.insert(info[i].deviceid);
        if (info) XIFreeDeviceInfo(info);
    }

    void GrabStarted(XID client) {
        if (client == senderBase_) return; // our own look, see ForgetEndedGrabs
        grabbers_.insert(client);
        ShowPaused();
    }
    void GrabEnded(XID client) {
        if (grabbers_.erase(client) != 0) ShowPaused();
    }
    // The server also ends a grab by itself, without any request, when its window stops being viewable
    // (a menu that closes by unmapping). So at a press during a pause the keyboard is tried for an
    // instant: if it can be taken, nobody holds it any more. A press is the only moment the answer
    // matters, and a prompt that still holds the keyboard makes the try fail without any effect.
    void ForgetEndedGrabs() {
        if (grabbers_.empty()) return;
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(sender_)).data->root;
        xcb_grab_keyboard_reply_t* reply = xcb_grab_keyboard_reply(
            sender_,
            xcb_grab_keyboard(sender_, 0, root, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
            nullptr);
        const bool free = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
        std::free(reply);
        if (!free) return;
        xcb_ungrab_keyboard(sender_, XCB_CURRENT_TIME);
        xcb_flush(sender_);
        grabbers_.clear();
    }
    // The recorder window reads the pointer block to tell the user. It looks now and then, so a pause shorter
    // than its look stays said until the next recording.
    void ShowPaused() {
        if (Paused()) pointerBlock_.write(platform::kHookStatusOffset, platform::kHookPaused);
    }
    bool Paused() const { return !grabbers_.empty() || (lock_ && lock_->locked()); }

    void Deliver(const xEvent& x) {
        if (stopped_) return;
        hook::DeviceEvent event;
        event.rootX = x.u.keyButtonPointer.rootX;
        event.rootY = x.u.keyButtonPointer.rootY;
        event.detail = x.u.u.detail;
        switch (x.u.u.type & 0x7F) {
        case KeyPress:
            event.type = hook::DeviceEvent::Type::KeyDown;
            break;
        case KeyRelease:
            event.type = hook::DeviceEvent::Type::KeyUp;
            break;
        case ButtonPress:
            event.type = hook::DeviceEvent::Type::ButtonDown;
            break;
        case ButtonRelease:
            event.type = hook::DeviceEvent::Type::ButtonUp;
            break;
        case MotionNotify:
            event.type = hook::DeviceEvent::Type::Motion;
            break;
        default:
            return;
        }
        if (event.type == hook::DeviceEvent::Type::KeyDown || event.type == hook::DeviceEvent::Type::KeyUp)
            event.detail = VirtualKeyOf(x.u.u.detail, x.u.keyButtonPointer.state);
        // Only the releases of keys and buttons already recorded pass a pause, so that playing the
        // recording never leaves a key held down; nothing typed into the grabbing program is kept.
        const unsigned pressId = (x.u.u.type & 0x7F) <= KeyRelease ? x.u.u.detail : 0x100u + x.u.u.detail;
        const bool press = event.type == hook::DeviceEvent::Type::KeyDown ||
                           event.type == hook::DeviceEvent::Type::ButtonDown;
        const bool release =
            event.type == hook::DeviceEvent::Type::KeyUp || event.type == hook::DeviceEvent::Type::ButtonUp;
        if (press && Paused()) ForgetEndedGrabs();
        if (Paused() && !(release && held_.count(pressId) != 0)) return;
        const auto hookEvent = hook::HookEventOf(event);
        if (!hookEvent) return;
        if (press) held_.insert(pressId);
        if (release) held_.erase(pressId);
        // F12 ends the recording: its release and whatever follows until HookOff are not reported.
        if (hookEvent->code == kStopKey) {
            if (event.type != hook::DeviceEvent::Type::KeyDown) return;
            stopped_ = true;
        }
        if (hookEvent->isMouse) {
            pointerBlock_.write(8, hookEvent->blockX);
            pointerBlock_.write(12, hookEvent->blockY);
        }
        Send(hookEvent->code, hookEvent->param);
    }

    // What the key produced in the layout group in use and at the level its modifiers choose (Shift, Num
    // Lock), so a recording made on any layout plays back the same characters.
    unsigned VirtualKeyOf(unsigned keycode, unsigned state) {
        FollowMappingChanges();
        XkbStateRec now{};
        const unsigned group = XkbGetState(keys_, XkbUseCoreKbd, &now) == Success ? now.group : 0;
        KeySym produced = NoSymbol;
        unsigned consumed = 0;
        XkbLookupKeySym(keys_, static_cast<KeyCode>(keycode), XkbBuildCoreState(state & 0xFF, group),
                        &consumed, &produced);
        const KeySym first = XkbKeycodeToKeysym(keys_, static_cast<KeyCode>(keycode), 0, 0);
        return lx::RecordedVirtualKey(produced, first, static_cast<KeyCode>(keycode), positions_);
    }

    // Takes in a layout change on the lookup connection before a key is looked up.
    void FollowMappingChanges() {
        bool changed = false;
        while (XPending(keys_) > 0) {
            XEvent event;
            XNextEvent(keys_, &event);
            if (event.type != MappingNotify) continue;
            XRefreshKeyboardMapping(&event.xmapping);
            changed = true;
        }
        if (changed) positions_.read(keys_);
    }

    void Send(std::uint32_t code, std::uint32_t param) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window_;
        message.type = atom_;
        message.data.data32[0] = kHookMessage;
        message.data.data32[1] = code;
        message.data.data32[2] = param;
        xcb_send_event(sender_, 0, window_, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
        xcb_flush(sender_);
        // Errors for a window that has gone arrive here, and keys pressed in the instant of a grab try.
        while (xcb_generic_event_t* e = xcb_poll_for_event(sender_))
            std::free(e);
    }

    SharedBlock handleBlock_;
    SharedBlock pointerBlock_;
    std::uint32_t window_ = 0;
    Display* control_ = nullptr;
    Display* data_ = nullptr;
    Display* keys_ = nullptr;
    lx::KeyPositions positions_;
    xcb_connection_t* sender_ = nullptr;
    XID senderBase_ = 0; // how the recording names the sender's own requests
    std::uint32_t atom_ = 0;
    XRecordContext context_ = 0;
    int inputOpcode_ = 0; // 0: the server has no XInput extension
    // Used by the recording thread only: the clients that hold a keyboard grab, the keys and buttons
    // (buttons as 0x100 + number) whose press was reported and whose release was not.
    std::set<XID> grabbers_;
    std::set<unsigned> held_;
    std::set<int> pointers_; // XInput devices that are no keyboard
    std::unique_ptr<hook::LockWatch> lock_;
    int wake_[2] = {-1, -1};
    bool enabled_ = false;
    std::atomic<bool> stopped_{false};
    std::thread thread_;
};

std::mutex gMutex;
std::unique_ptr<Recorder> gRecorder;

} // namespace

extern "C" {

// Starts capturing; a second call while capturing does nothing. Without a display, the RECORD extension
// or the recorder's blocks nothing is captured.
__attribute__((visibility("default"))) void HookOn() {
    std::lock_guard lock(gMutex);
    if (!gRecorder) gRecorder = std::make_unique<Recorder>();
}

// Ends capturing and closes every connection; returns once no more events will be sent.
__attribute__((visibility("default"))) void HookOff() {
    std::lock_guard lock(gMutex);
    gRecorder.reset();
}
}
