#include "tools/testhost/HostServiceChecks.h"

#include <windows.h>

#include <thread>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/ExpectedStateChunk.h"
#include "tools/testhost/EditorHost.h"
#include "tools/testhost/HostFunctions.h"
#include "tools/testhost/PluginInstance.h"

namespace {

constexpr VstInt32 kPause = 3;
constexpr DWORD kTimerPeriod = 41;

std::string Describe(const std::vector<HostFunctions::Received>& commands)
{
    std::string text = "[";
    for (const auto& c : commands) text += (text.size() > 1 ? " " : "") + std::to_string(c.wParam);
    return text + "]";
}

// Exactly the one command, with lParam 0, handled on this thread after the plug-in call returned.
bool Posted(const std::vector<HostFunctions::Received>& commands, WPARAM command)
{
    return commands.size() == 1 && commands[0].wParam == command && commands[0].lParam == 0 &&
           !commands[0].duringPluginCall && commands[0].thread == GetCurrentThreadId();
}

// Automation as a host sends it, with the call marked as running.
void Automate(PluginInstance& p, float value)
{
    HostFunctions::PluginCall call;
    p->setParameter(p.get(), kPause, value);
}

// An editor window owned by `owner` other than `known`, null when there is none.
HWND OtherFloatingEditor(HWND owner, HWND known)
{
    for (HWND w = FindWindowExA(nullptr, nullptr, "VireoWndClass", nullptr); w;
         w = FindWindowExA(nullptr, w, "VireoWndClass", nullptr))
        if (w != known && GetWindow(w, GW_OWNER) == owner) return w;
    return nullptr;
}

// The state saved with the floating window open keeps its place and name; a new instance
// given that state reopens its window there when the host opens the editor.
void CheckStoredWindow(const PluginModule& module, PluginInstance& p, EditorHost& host, HWND editor,
                       Report& report)
{
    SetWindowPos(editor, nullptr, 260, 180, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    host.Pump(kTimerPeriod);
    RECT outer = {};
    GetWindowRect(editor, &outer);
    const ChunkBytes saved = p.GetChunk();
    const ChunkBytes section = WindowSectionBytes("QuillographTestHostFrame", "Quillograph : Track 3", outer.left,
                                                  outer.top, outer.right - 6, outer.bottom - 23);
    report.Check(outer.left == 260 && outer.top == 180 && saved.size() == section.size() + kExpectedStateChunkSize &&
                     std::equal(section.begin(), section.end(), saved.begin()),
                 "the state saved with the floating window open holds the host's class, the title and the place " +
                     std::to_string(outer.left) + ", " + std::to_string(outer.top) + ", " +
                     std::to_string(outer.right - 6) + ", " + std::to_string(outer.bottom - 23));

    PluginInstance restored(module.Entry());
    restored.Start();
    // Loaded on a thread of the host's own, which pumps no messages: no window may be made there.
    bool loaded = false;
    std::thread loader([&] {
        ChunkBytes bytes = saved;
        loaded = restored.Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bytes.size()), bytes.data()) == 1;
    });
    loader.join();
    report.Check(loaded && !OtherFloatingEditor(host.Frame(), editor),
                 "loaded into a new instance on another thread, it makes no window there");
    const bool opened = restored.Dispatch(effEditOpen, 0, 0, host.Frame()) == 1;
    HWND reopened = OtherFloatingEditor(host.Frame(), editor);
    RECT r = {};
    if (reopened) GetWindowRect(reopened, &r);
    report.Check(opened && reopened && r.left == outer.left && r.top == outer.top && r.right == outer.right &&
                     r.bottom == outer.bottom && TitleOf(reopened) == "Quillograph : Track 3",
                 "the host's effEditOpen then opens the floating window at that place, titled " +
                     (reopened ? TitleOf(reopened) : std::string("(no window)")));
    restored.Dispatch(effEditClose);
    restored.Close();
    host.Pump(kTimerPeriod);
}

size_t Lookups() { return HostLog::Count(HostFunctions::kLookupOpcode); }

struct AutomationThread {
    PluginInstance* plugin;
    float value;
    static DWORD WINAPI Run(void* self)
    {
        auto* job = static_cast<AutomationThread*>(self);
        Automate(*job->plugin, job->value);
        return 0;
    }
};

// Sets pause from a thread of the host's own while this thread pumps no messages: a command
// sent rather than posted would keep that thread waiting for this one.
bool AutomateFromOtherThread(PluginInstance& p, float value)
{
    AutomationThread job{&p, value};
    HANDLE thread = CreateThread(nullptr, 0, AutomationThread::Run, &job, 0, nullptr);
    if (!thread) return false;
    const bool returned = WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0;
    if (!returned) {
        // Let a blocked call through before the thread's data goes away.
        MSG msg;
        while (WaitForSingleObject(thread, 10) != WAIT_OBJECT_0)
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    CloseHandle(thread);
    return returned;
}

// A left click in the display area, as the window system delivers it; pause toggles when the
// editor handles clicks. Answers whether it did.
bool ClickPause(PluginInstance& p, HWND editor)
{
    const float before = p->getParameter(p.get(), kPause);
    {
        HostFunctions::PluginCall call;
        SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 50));
        SendMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(100, 50));
    }
    return p->getParameter(p.get(), kPause) != before;
}

void CheckHostOne(const PluginModule& module, Report& report)
{
    HWND mainWindow = HostFunctions::CreateMainWindow();
    if (!report.Check(mainWindow != nullptr, "the host's main window is made")) return;
    HostFunctions::SetPlayState(1);
    PluginInstance p(module.Entry());
    if (!report.Check(bool(p), "the plug-in made an instance")) return;
    p.Start();
    report.Check(Lookups() == 0 && HostFunctions::TakeCommands().empty(),
                 "starting the plug-in asks for no host function and posts nothing");

    // The editor's parent lies inside the FX chain window, under an untitled and a titled child.
    EditorHost host(p);
    if (!report.Check(host.Frame() != nullptr, "the host's FX chain window is made")) return;
    SetWindowTextA(host.Frame(), "Track 3 FX Chain: Quillograph");
    HWND list = CreateWindowExA(0, "STATIC", "FX list", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, host.Frame(), nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, list, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    report.Check(p.Dispatch(effEditOpen, 0, 0, parent) == 1, "effEditOpen in the FX chain window answers 1");
    HWND editor = host.Editor();
    if (!report.Check(editor && GetParent(editor) != parent && GetWindow(editor, GW_OWNER) == host.Frame(),
                      "the editor is a floating window owned by the host's top window"))
        return;
    report.Check(TitleOf(editor) == "Quillograph", "it opens titled " + TitleOf(editor));
    p.Dispatch(effEditIdle);
    report.Check(TitleOf(editor) == "Quillograph : Track 3", "after effEditIdle it is titled " + TitleOf(editor));
    host.Pump(kTimerPeriod * 2);
    CheckStoredWindow(module, p, host, editor, report);

    // The host's own automation of pause, on this thread or another, and a paused state loaded
    // with a project: the host's transport is left alone.
    HostLog::Clear();
    HostFunctions::TakeCommands();
    HostFunctions::SetPlayState(1);
    Automate(p, 1.0f);
    const ChunkBytes paused = p.GetChunk();
    Automate(p, 0.0f);
    const bool returned = AutomateFromOtherThread(p, 1.0f);
    Automate(p, 0.0f);
    const bool loaded = p.SetChunk(paused) == 1;
    host.Pump(50);
    auto commands = HostFunctions::TakeCommands();
    report.Check(returned && loaded && commands.empty() && Lookups() == 0,
                 "automation and a loaded paused state post nothing and look nothing up: " + Describe(commands));
    Automate(p, 0.0f);
    host.Pump(50);

    // The user's click pauses and plays the host with the display.
    HostFunctions::SetPlayState(1);
    if (ClickPause(p, editor)) {
        const bool queued = HostFunctions::TakeCommands().empty();
        host.Pump(50);
        commands = HostFunctions::TakeCommands();
        report.Check(queued && Posted(commands, HostFunctions::kPause) && HostFunctions::PlayState() == 2,
                     "a click pausing the editor while the host plays posts 1008 to its main window, handled after "
                     "the click: " + Describe(commands));
        bool lookupsRight = Lookups() > 0;
        for (const auto& call : HostLog::Calls())
            if (call.opcode == HostFunctions::kLookupOpcode)
                lookupsRight = lookupsRight && call.effect == nullptr &&
                               static_cast<uint32_t>(call.index) == 0xDEADF00Du && call.value == 0 &&
                               call.opt == 0.0f && (call.name == "GetPlayState" || call.name == "GetMainHwnd");
        report.Check(lookupsRight, "the host functions are looked up by name, effect null, index 0xDEADF00D");
        ClickPause(p, editor);
        host.Pump(50);
        commands = HostFunctions::TakeCommands();
        report.Check(Posted(commands, HostFunctions::kPlay) && HostFunctions::PlayState() == 1,
                     "a click resuming it while the host is paused posts 1007: " + Describe(commands));
        HostFunctions::SetPlayState(5);
        ClickPause(p, editor);
        ClickPause(p, editor);
        HostFunctions::SetPlayState(6);
        ClickPause(p, editor);
        ClickPause(p, editor);
        host.Pump(50);
        report.Check(HostFunctions::TakeCommands().empty(), "clicks while the host records post nothing");

        // A main window handle that is no window, and no main window at all.
        HostFunctions::SetPlayState(1);
        HostFunctions::AnswerMainWindow(reinterpret_cast<HWND>(static_cast<uintptr_t>(0xBAD0)));
        ClickPause(p, editor);
        ClickPause(p, editor);
        HostFunctions::AnswerMainWindow(nullptr);
        HostFunctions::DestroyMainWindow();
        ClickPause(p, editor);
        ClickPause(p, editor);
        host.Pump(50);
        report.Check(HostFunctions::TakeCommands().empty() && IsWindow(editor),
                     "a main window handle that is no window, or a destroyed one, gets nothing and the editor runs on");
        if (p->getParameter(p.get(), kPause) >= 0.5f) Automate(p, 0.0f);
    } else {
        std::printf("note a click does not toggle pause in this build: the editor's path is not checked\n");
    }
    host.Pump(50);
    HostFunctions::TakeCommands();

    p.Dispatch(effEditClose);
    report.Check(!IsWindow(editor), "effEditClose closes the floating window");
    p.Dispatch(effMainsChanged, 0, 0);
    p.Close();
    host.Pump(kTimerPeriod);
}

void CheckOtherHost(const PluginModule& module, Report& report)
{
    HWND mainWindow = HostFunctions::CreateMainWindow();
    HostFunctions::SetPlayState(1);
    PluginInstance p(module.Entry());
    if (!report.Check(bool(p) && mainWindow, "the plug-in made an instance")) return;
    p.Start();
    EditorHost host(p);
    SetWindowTextA(host.Frame(), "Track 3 FX Chain: Quillograph");
    report.Check(p.Dispatch(effEditOpen, 0, 0, host.Frame()) == 1, "effEditOpen answers 1");
    HWND editor = host.Editor();
    p.Dispatch(effEditIdle);
    host.Pump(kTimerPeriod * 2);
    report.Check(editor && GetParent(editor) == host.Frame() && TitleOf(editor) == "Vireo",
                 "the editor is a child titled Vireo, not named after the FX chain");
    Automate(p, 1.0f);
    Automate(p, 0.0f);
    ClickPause(p, editor);
    ClickPause(p, editor);
    host.Pump(50);
    report.Check(Lookups() == 0 && HostFunctions::TakeCommands().empty(),
                 "a host that would answer is never asked for its functions; nothing is posted");
    p.Dispatch(effEditClose);
    p.Dispatch(effMainsChanged, 0, 0);
    p.Close();
    HostFunctions::DestroyMainWindow();
}

}  // namespace

void RunHostServiceChecks(const PluginModule& module, bool hostOne, Report& report)
{
    if (hostOne)
        CheckHostOne(module, report);
    else
        CheckOtherHost(module, report);
}
