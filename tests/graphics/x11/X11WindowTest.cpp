// The X11 window layer on a real X server (the test runs under its own Xvfb): events the
// server delivers reach the controls as the Win32 window procedure delivers them, double
// clicks are told by timing, the timer paints dirty controls, and the window shows the
// surface pixel for pixel. X errors and a lost connection of the editor's never reach the
// host's handlers; the colour prompt is a window of its own that answers the keyboard and
// the mouse while the editor keeps painting.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "graphics/ColourChooser.h"
#include "graphics/Control.h"
#include "graphics/GraphicsRaster.h"
#include "graphics/x11/X11Connection.h"
#include "graphics/x11/X11Window.h"
#include "plugin/PluginCore.h"
#include "plugin/VstHost.h"
#include "tests/XUser.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

// The host's own handlers, installed before any editor opens, as a host does: they count
// what reaches them; the host's I/O handler then ends the process, as Xlib's default does.
std::atomic<int> hostErrors{0};
std::atomic<int> hostIoErrors{0};
XIOErrorHandler xlibIoHandler = nullptr;
int HostErrors(Display*, XErrorEvent*)
{
    ++hostErrors;
    return 0;
}
int HostIoErrors(Display* display)
{
    ++hostIoErrors;
    return xlibIoHandler(display);
}
void InstallHostHandlers()
{
    static const bool installed = [] {
        XSetErrorHandler(HostErrors);
        xlibIoHandler = XSetIOErrorHandler(HostIoErrors);
        return true;
    }();
    (void)installed;
}

class Plug : public PluginCore {
public:
    Plug() : PluginCore(VstHost::Shared(), 1, 2, 2, "Quillograph", "", "Veksa", 1000, 1, 0, false, true, true) {}
};

// Fills its area with a gradient and writes down every event with its keys.
class Probe : public Control {
public:
    explicit Probe(PluginCore* plug) : Control(plug, Rect(0, 0, 64, 32), -1, Blend()) {}
    bool Draw(Graphics& graphics) override
    {
        ++draws;
        if (tint == 99) ++drawsInPrompt;
        for (int y = 0; y < 32; ++y)
            graphics.FillRect(Colour(255, 4 * y, 255 - 4 * y, tint), Rect(0, y, 64, y + 1), Blend());
        return true;
    }
    void OnMouseDown(int32_t x, int32_t y, const MouseKeys& k) override
    {
        Log("down", x, y, &k);
        if (!prompter || !k.right || !k.shift) return;
        // Repainted in another tint while the prompt is up.
        tint = 99;
        MarkDirty(false);
        answer = Colour(77, 1, 2, 3);
        answered = prompter->PromptForColour(answer, "Background Color");
        tint = 0;
    }
    void OnMouseUp(int32_t x, int32_t y) override { Log("up", x, y, nullptr); }
    void OnMouseDrag(int32_t x, int32_t y, int32_t, int32_t, const MouseKeys& k) override { Log("drag", x, y, &k); }
    void OnMouseDblClick(int32_t x, int32_t y, const MouseKeys& k) override { Log("dbl", x, y, &k); }
    void OnMouseWheel(int32_t x, int32_t y, const MouseKeys& k, int32_t steps) override
    {
        Log(("wheel" + std::to_string(steps)).c_str(), x, y, &k);
    }
    void OnMouseOver(int32_t x, int32_t y, const MouseKeys& k) override { Log("over", x, y, &k); }
    void OnMouseOut() override { events.push_back("out"); }

    std::vector<std::string> events;
    int draws = 0;
    int tint = 0;
    // Given, a shift + right click prompts for a colour.
    Graphics* prompter = nullptr;
    bool answered = false;
    Colour answer;
    std::atomic<int> drawsInPrompt{0};

private:
    void Log(const char* what, int32_t x, int32_t y, const MouseKeys* k)
    {
        std::string text = std::string(what) + " " + std::to_string(x) + " " + std::to_string(y);
        if (k) {
            text += " ";
            text += k->left ? "L" : "-";
            text += k->right ? "R" : "-";
            text += k->shift ? "S" : "-";
            text += k->ctrl ? "C" : "-";
            text += k->alt ? "A" : "-";
        }
        events.push_back(text);
    }
};

class X11Editor : public testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X server";
        InstallHostHandlers();
        sender = XOpenDisplay(nullptr);
        ASSERT_NE(sender, nullptr);
        parent = XCreateSimpleWindow(sender, DefaultRootWindow(sender), 0, 0, 300, 200, 0, 0, 0);
        XMapWindow(sender, parent);
        XSync(sender, False);
        graphics.reset(static_cast<GraphicsRaster*>(CreateGraphics(&plug, 64, 32, 24.0)));
        probe = new Probe(&plug);
        graphics->AttachControl(probe);
        graphics->mouseOverEnabled = true;
        graphics->CreateSurface();
        ASSERT_TRUE(graphics->OpenWindow(reinterpret_cast<void*>(parent)));
        window = static_cast<Window>(reinterpret_cast<uintptr_t>(graphics->GetWindowHandle()));
        Serve();
    }
    void TearDown() override
    {
        graphics.reset();
        if (sender) XCloseDisplay(sender);
    }

    // Lets the window read what the server has for it.
    void Serve()
    {
        XSync(sender, False);
        for (int i = 0; i < 5; ++i) {
            X11Window::Of(graphics.get())->ServeEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    void Button(int type, unsigned button, int x, int y, unsigned state, Time time)
    {
        SendButton(sender, window, type, button, x, y, state, time);
    }
    void Click(unsigned button, int x, int y, unsigned state, Time time)
    {
        const unsigned held = button == Button1 ? Button1Mask : button == Button3 ? Button3Mask : 0;
        Button(ButtonPress, button, x, y, state, time);
        Button(ButtonRelease, button, x, y, state | held, time + 10);
    }
    void Motion(int x, int y, unsigned state)
    {
        XEvent event = {};
        event.xmotion.type = MotionNotify;
        event.xmotion.window = window;
        event.xmotion.x = x;
        event.xmotion.y = y;
        event.xmotion.state = state;
        event.xmotion.same_screen = True;
        XSendEvent(sender, window, False, 0, &event);
    }
    void Crossing(int type, int x, int y)
    {
        XEvent event = {};
        event.xcrossing.type = type;
        event.xcrossing.window = window;
        event.xcrossing.x = x;
        event.xcrossing.y = y;
        event.xcrossing.mode = NotifyNormal;
        event.xcrossing.same_screen = True;
        XSendEvent(sender, window, False, 0, &event);
    }
    std::vector<std::string> Events()
    {
        Serve();
        std::vector<std::string> seen;
        seen.swap(probe->events);
        return seen;
    }

    // Whether the window shows `expected` enlarged `scale` times, waiting up to two seconds.
    static bool Shows(Display* display, Window window, const Surface& expected, int scale)
    {
        const int w = expected.width() * scale, h = expected.height() * scale;
        for (int tries = 0; tries < 100; ++tries) {
            int differing = w * h;
            if (XImage* image = XGetImage(display, window, 0, 0, w, h, AllPlanes, ZPixmap)) {
                differing = 0;
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        differing += (XGetPixel(image, x, y) & 0xFFFFFF) !=
                                     (SurfaceRow(expected, y / scale)[x / scale] & 0xFFFFFF);
                XDestroyImage(image);
            }
            if (differing == 0) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    // A shift + right click on the probe, served until the colour prompt it opens is answered;
    // `user` acts on the prompt's window from another thread, on a connection of its own.
    void Prompt(const std::function<void(Display*, Window)>& user)
    {
        probe->prompter = graphics.get();
        std::thread person([&] {
            Display* own = XOpenDisplay(nullptr);
            const Window dialog = WindowNamed(own, "Background Color");
            EXPECT_NE(dialog, 0u) << "no prompt";
            if (dialog) user(own, dialog);
            XCloseDisplay(own);
        });
        // Far apart in time, or the second click would be a double click.
        promptTime += 10000;
        Click(Button3, 5, 6, ShiftMask, promptTime);
        Serve();
        person.join();
    }
    // The editor opened anew: inside `in` (0: a window of its own) at a fixed scale.
    void Reopen(Window in, int scale)
    {
        graphics->CloseWindow();
        graphics->SetScaleChoice(scale);
        ASSERT_TRUE(graphics->OpenWindow(reinterpret_cast<void*>(in)));
        window = static_cast<Window>(reinterpret_cast<uintptr_t>(graphics->GetWindowHandle()));
        Serve();
    }

    Plug plug;
    Time promptTime = 0;
    Display* sender = nullptr;
    Window parent = 0;
    Window window = 0;
    std::unique_ptr<GraphicsRaster> graphics;
    Probe* probe = nullptr;
};

using Strings = std::vector<std::string>;

TEST_F(X11Editor, ButtonsWheelAndModifiersReachTheControl)
{
    Click(Button1, 5, 6, 0, 1000);
    Click(Button3, 7, 8, ShiftMask | ControlMask, 5000);
    Button(ButtonPress, Button4, 9, 10, Mod1Mask, 9000);
    Button(ButtonPress, Button5, 9, 10, ControlMask, 9100);
    Button(ButtonPress, 2, 9, 10, 0, 9200);  // the middle button has no use
    EXPECT_EQ(Events(), (Strings{"down 5 6 L----", "up 5 6", "down 7 8 -RSC-", "up 7 8", "wheel1 9 10 ----A",
                                 "wheel-1 9 10 ---C-"}));
}

TEST_F(X11Editor, DoubleClicksAreToldByTiming)
{
    // Within 500 ms and 2 pixels the second press is a double click, not a press; a third
    // starts anew. Later or farther it is a press again; a right double click does nothing.
    Click(Button1, 10, 10, 0, 1000);
    Click(Button1, 11, 12, 0, 1400);
    Click(Button1, 11, 12, 0, 1500);
    Click(Button1, 20, 20, 0, 3000);
    Click(Button1, 20, 20, 0, 3501);
    Click(Button1, 30, 20, 0, 5000);
    Click(Button1, 33, 20, 0, 5100);
    Click(Button3, 40, 20, 0, 7000);
    Click(Button3, 40, 20, 0, 7100);
    EXPECT_EQ(Events(), (Strings{"down 10 10 L----", "up 10 10", "dbl 11 12 L----", "up 11 12", "down 11 12 L----",
                                 "up 11 12", "down 20 20 L----", "up 20 20", "down 20 20 L----", "up 20 20",
                                 "down 30 20 L----", "up 30 20", "down 33 20 L----", "up 33 20", "down 40 20 -R---",
                                 "up 40 20", "up 40 20"}));
}

TEST_F(X11Editor, DragsNeedTheCaptureAndLeavingWaitsForTheRelease)
{
    Motion(3, 4, Button1Mask);  // a button held without a press here is no drag
    Motion(5, 6, 0);
    Crossing(LeaveNotify, 70, 6);
    EXPECT_EQ(Events(), (Strings{"over 5 6 -----", "out"}));

    Crossing(EnterNotify, 1, 1);
    Button(ButtonPress, Button1, 2, 2, 0, 1000);
    Motion(10, 3, Button1Mask | ShiftMask);
    Crossing(LeaveNotify, 80, 3);
    Motion(90, 3, Button1Mask);
    Button(ButtonRelease, Button1, 90, 3, Button1Mask, 1200);
    EXPECT_EQ(Events(), (Strings{"over 1 1 -----", "down 2 2 L----", "drag 10 3 L-S--", "drag 90 3 L----", "up 90 3",
                                 "out"}));
}

TEST_F(X11Editor, IdleCallsAt30HzPaintTwentyFourFramesASecond)
{
    // A second of a host's idle calls every 33.3 ms, on the clock the window keeps time by.
    const uint64_t start = static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
    const int drawn = probe->draws;
    for (int call = 1; call <= 30; ++call) {
        probe->MarkDirty(false);
        X11Window::Of(graphics.get())->ServeEvents(start + static_cast<uint64_t>(call * 1000 / 30));
    }
    // 1000 / 41 ticks, give or take the one under way when the second began.
    EXPECT_GE(probe->draws - drawn, 23);
    EXPECT_LE(probe->draws - drawn, 25);

    // A host idling every 100 ms gets a paint at every call, no more.
    const int before = probe->draws;
    for (int call = 1; call <= 10; ++call) {
        probe->MarkDirty(false);
        X11Window::Of(graphics.get())->ServeEvents(start + 1000 + static_cast<uint64_t>(call * 100));
    }
    EXPECT_EQ(probe->draws - before, 10);
}

TEST_F(X11Editor, TheTimerPaintsDirtyControlsAndTheWindowShowsTheSurface)
{
    const int drawn = probe->draws;
    EXPECT_GE(drawn, 1);  // the first paint of a new window
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    X11Window::Of(graphics.get())->ServeEvents();  // a tick: nothing dirty
    probe->tint = 200;
    probe->MarkDirty(false);
    X11Window::Of(graphics.get())->ServeEvents();  // within the period of that tick: no paint yet
    EXPECT_EQ(probe->draws, drawn);
    std::this_thread::sleep_for(std::chrono::milliseconds(Graphics::TimerPeriod() + 5));
    X11Window::Of(graphics.get())->ServeEvents();
    EXPECT_EQ(probe->draws, drawn + 1);

    XImage* image = XGetImage(sender, window, 0, 0, 64, 32, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    const SystemSurface& surface = *graphics->DrawingSurface();
    int differing = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            if ((XGetPixel(image, x, y) & 0xFFFFFF) != (SurfaceRow(surface, y)[x] & 0xFFFFFF)) ++differing;
    XDestroyImage(image);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(SurfaceRow(surface, 31)[0] & 0xFFFFFF, 0x7C83C8u);
}

TEST_F(X11Editor, ReopeningMovesTheWindowAndAGoneParentIsSurvived)
{
    const Window second = XCreateSimpleWindow(sender, DefaultRootWindow(sender), 0, 0, 300, 200, 0, 0, 0);
    XSync(sender, False);
    ASSERT_TRUE(graphics->OpenWindow(reinterpret_cast<void*>(second)));
    const Window moved = static_cast<Window>(reinterpret_cast<uintptr_t>(graphics->GetWindowHandle()));
    Window root = 0, parentOf = 0, *children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(sender, moved, &root, &parentOf, &children, &count));
    if (children) XFree(children);
    EXPECT_EQ(parentOf, second);

    // The host destroys its window, and ours with it, before closing the editor.
    XDestroyWindow(sender, second);
    XSync(sender, False);
    for (int i = 0; i < 20 && graphics->IsWindowOpen(); ++i) {
        X11Window::Of(graphics.get())->ServeEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(graphics->IsWindowOpen());
    graphics->CloseWindow();
    // A parent that does not exist is refused, and the editor opens again afterwards.
    EXPECT_FALSE(graphics->OpenWindow(reinterpret_cast<void*>(uintptr_t{0x7FFFFF0})));
    EXPECT_TRUE(graphics->OpenWindow(nullptr));
}

TEST_F(X11Editor, ErrorsOfTheEditorReachNoHandlerWhileTheHostsOwnStillDo)
{
    X11Window& x11 = *X11Window::Of(graphics.get());
    // A thread of the host makes failing requests on its own connection all along.
    const int before = hostErrors;
    std::atomic<bool> stop{false};
    std::atomic<int> failed{0};
    std::thread host([&] {
        Display* own = XOpenDisplay(nullptr);
        while (!stop) {
            XMapWindow(own, 0x7FFFFF0);
            XSync(own, False);
            ++failed;
        }
        XCloseDisplay(own);
    });
    // The editor's requests that may fail, over and over meanwhile.
    for (int i = 0; i < 100; ++i) {
        graphics->SetWindowTitle(std::to_string(i));
        x11.Resize(64, 32);
        EXPECT_EQ(x11.Place().Width(), 64);
    }
    // The host destroys its window, and ours with it; the editor paints a new picture before
    // it hears.
    X11Connection* connection = x11.Connection();
    ASSERT_NE(connection, nullptr);
    const uint64_t mark = connection->Mark();
    XDestroyWindow(sender, parent);
    XSync(sender, False);
    probe->tint = 50;
    probe->MarkDirty(false);
    EXPECT_TRUE(graphics->Tick());
    EXPECT_TRUE(connection->FailedSince(mark)) << "the server took a picture for a destroyed window";
    stop = true;
    host.join();
    for (int i = 0; i < 20 && graphics->IsWindowOpen(); ++i) X11Window::Of(graphics.get())->ServeEvents();
    EXPECT_FALSE(graphics->IsWindowOpen());
    EXPECT_EQ(hostErrors - before, failed.load()) << "the host's handler saw other errors than its own";
    EXPECT_EQ(XSetErrorHandler(HostErrors), &HostErrors) << "a handler of ours stayed installed";
}

TEST_F(X11Editor, ALostConnectionClosesTheEditorAndNotTheProcess)
{
    // Someone kills the editor's client (xkill on its window): its connection breaks.
    XKillClient(sender, window);
    XSync(sender, False);
    for (int i = 0; i < 50 && graphics->IsWindowOpen(); ++i) {
        X11Window::Of(graphics.get())->ServeEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(graphics->IsWindowOpen());
    EXPECT_EQ(hostIoErrors.load(), 0);
    // The editor opens again, on a new connection.
    ASSERT_TRUE(graphics->OpenWindow(reinterpret_cast<void*>(parent)));
    window = static_cast<Window>(reinterpret_cast<uintptr_t>(graphics->GetWindowHandle()));
    Click(Button1, 5, 6, 0, 1000);
    EXPECT_EQ(Events(), (Strings{"down 5 6 L----", "up 5 6"}));
}

TEST_F(X11Editor, SharedMemoryAndOrdinaryPutsShowTheSamePixels)
{
    // At scale 2, the scaled picture's way. Each way paints a picture of its own, which the
    // server must then show; a server refusing the segment leaves ordinary puts, quietly.
    Reopen(parent, 2);
    X11Window& x11 = *X11Window::Of(graphics.get());
    const int errorsBefore = hostErrors;
    const X11Image::Sharing ways[] = {X11Image::Sharing::On, X11Image::Sharing::Off, X11Image::Sharing::Refused};
    for (int i = 0; i < 3; ++i) {
        x11.SetSharing(ways[i]);
        probe->tint = 10 + 40 * i;
        probe->MarkDirty(false);
        EXPECT_TRUE(graphics->Tick());
        EXPECT_EQ(x11.Image().SharesMemory(), ways[i] == X11Image::Sharing::On) << i;
        EXPECT_TRUE(Shows(sender, window, *graphics->DrawingSurface(), 2)) << i;
    }
    EXPECT_EQ(x11.Connection()->ErrorCount(), 1u) << "only the refused attach fails";
    EXPECT_EQ(hostErrors, errorsBefore);
}

TEST_F(X11Editor, AnUnchangedFrameIsNotPutButAnExposeRepaintsIt)
{
    X11Window& x11 = *X11Window::Of(graphics.get());
    const uint64_t presented = x11.Image().Presented(), skipped = x11.Image().Skipped();
    const int drawn = probe->draws;
    probe->MarkDirty(false);
    EXPECT_TRUE(graphics->Tick());
    EXPECT_EQ(probe->draws, drawn + 1);
    EXPECT_EQ(x11.Image().Presented(), presented);
    EXPECT_EQ(x11.Image().Skipped(), skipped + 1);

    // Something else draws over the window, and the server asks for the area again.
    GC paint = XCreateGC(sender, window, 0, nullptr);
    XSetForeground(sender, paint, 0x00FF00);
    XFillRectangle(sender, window, paint, 0, 0, 64, 32);
    XFreeGC(sender, paint);
    XClearArea(sender, window, 0, 0, 64, 32, True);  // no background: only the expose
    Serve();
    EXPECT_EQ(x11.Image().Presented(), presented + 1);
    EXPECT_TRUE(Shows(sender, window, *graphics->DrawingSurface(), 1));
}

TEST_F(X11Editor, TheColourPromptIsAWindowOfItsOwnThatTheKeyboardDrives)
{
    ColourChooser expected(Colour(77, 1, 2, 3), "Background Color");
    const Surface& picture = expected.Picture();  // drawn here, not beside the prompt's drawing
    Prompt([&](Display* display, Window dialog) {
        Window owner = 0;
        EXPECT_TRUE(XGetTransientForHint(display, dialog, &owner));
        EXPECT_EQ(owner, parent);
        Window focus = 0;
        int revert = 0;
        for (int tries = 0; tries < 100 && focus != dialog; ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            XGetInputFocus(display, &focus, &revert);
        }
        EXPECT_EQ(focus, dialog) << "the prompt does not have the keyboard";
        EXPECT_TRUE(Shows(display, dialog, picture, 1));
        // The editor keeps painting under the prompt (the prompt covers it).
        for (int tries = 0; tries < 100 && probe->drawsInPrompt == 0; ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_GT(probe->drawsInPrompt.load(), 0);
        for (KeySym key : {XK_3, XK_0, XK_Tab, XK_6, XK_0, XK_Tab, XK_9, XK_0, XK_Prior, XK_Left})
            SendKey(display, dialog, key);
        SendKey(display, dialog, XK_Tab, ShiftMask);
        SendKey(display, dialog, XK_BackSpace);
        SendKey(display, dialog, XK_Return);
    });
    EXPECT_TRUE(probe->answered);
    // Red and green typed (green's last digit taken back), blue typed, a page up and one down;
    // the alpha kept.
    EXPECT_EQ(PackColour(probe->answer), PackColour(Colour(77, 30, 6, 105)));
    EXPECT_TRUE(NoWindowNamed(sender, "Background Color")) << "the prompt's window stayed";
}

TEST_F(X11Editor, TheColourPromptTakesTheMouseAtTheEditorsScale)
{
    Reopen(0, 2);
    ASSERT_EQ(graphics->ShownScale(), 2);
    Prompt([&](Display* display, Window dialog) {
        Window root = 0;
        int x = 0, y = 0;
        unsigned w = 0, h = 0, border = 0, depth = 0;
        XGetGeometry(display, dialog, &root, &x, &y, &w, &h, &border, &depth);
        EXPECT_EQ(w, 2u * ColourChooser::Width);
        EXPECT_EQ(h, 2u * ColourChooser::Height);
        const Rect swatch = ColourChooser::PresetRect(3), ok = ColourChooser::OkRect();
        SendLeftClick(display, dialog, swatch.left + swatch.right, swatch.top + swatch.bottom);
        SendLeftClick(display, dialog, ok.left + ok.right, ok.top + ok.bottom);
    });
    EXPECT_TRUE(probe->answered);
    const Colour preset = ColourChooser::Preset(3);
    EXPECT_EQ(PackColour(probe->answer), PackColour(Colour(77, preset.r, preset.g, preset.b)));
}

TEST_F(X11Editor, TheColourPromptEndsAsCancelWhenClosedEndedOrItsEditorGoes)
{
    // Closed by the window manager's close button.
    Prompt([&](Display* display, Window dialog) {
        XEvent close = {};
        close.xclient.type = ClientMessage;
        close.xclient.window = dialog;
        close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        close.xclient.format = 32;
        close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        XSendEvent(display, dialog, False, NoEventMask, &close);
        XFlush(display);
    });
    EXPECT_FALSE(probe->answered);
    EXPECT_EQ(PackColour(probe->answer), PackColour(Colour(77, 1, 2, 3)));

    // Ended from another thread (the host closing the editor from there); later prompts are
    // refused at once until the window is made anew.
    Prompt([&](Display*, Window) { graphics->EndPrompts(); });
    EXPECT_FALSE(probe->answered);
    Colour colour;
    EXPECT_FALSE(graphics->PromptForColour(colour, "Background Color"));

    // The host destroys its window while the prompt is up.
    Reopen(parent, 1);
    Prompt([&](Display* display, Window) {
        XDestroyWindow(display, parent);
        XFlush(display);
    });
    EXPECT_FALSE(probe->answered);
    EXPECT_FALSE(graphics->IsWindowOpen());
    EXPECT_TRUE(NoWindowNamed(sender, "Background Color")) << "the prompt's window stayed";
}

}  // namespace
