// The bundle's binary as a host sees it, loaded with dlopen and driven through the LV2
// interfaces only: audio at every rate and block size, in place or not; control values
// from the host; the state blob and what is refused; the editor without instance access,
// without a parent, opened twice, and closed while audio runs. The editor cases need an
// X server (the test runs under its own Xvfb).
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tools/AllocationCounter.h"
#include "tools/ExpectedStateChunk.h"
#include "tests/XUser.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

const char* const kUri = "urn:veksa:quillograph";

struct Bundle {
    Bundle()
    {
        const std::string path = std::string(QUILLOGRAPH_LV2_BUNDLE) + "/quillograph.so";
        module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) return;
        auto plugin = reinterpret_cast<const LV2_Descriptor* (*)(uint32_t)>(dlsym(module, "lv2_descriptor"));
        auto ui = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(module, "lv2ui_descriptor"));
        descriptor = plugin ? plugin(0) : nullptr;
        uiDescriptor = ui ? ui(0) : nullptr;
    }
    void* module = nullptr;
    const LV2_Descriptor* descriptor = nullptr;
    const LV2UI_Descriptor* uiDescriptor = nullptr;
};

Bundle& TheBundle()
{
    static Bundle bundle;
    return bundle;
}

// A host's URID map and state store.
struct Host {
    std::map<std::string, LV2_URID> ids;
    LV2_URID_Map map = {this, [](LV2_URID_Map_Handle h, const char* uri) -> LV2_URID {
                            auto& ids = static_cast<Host*>(h)->ids;
                            auto found = ids.find(uri);
                            if (found != ids.end()) return found->second;
                            const LV2_URID id = static_cast<LV2_URID>(ids.size() + 1);
                            ids[uri] = id;
                            return id;
                        }};
    LV2_Feature mapFeature = {LV2_URID__map, &map};
    const LV2_Feature* features[2] = {&mapFeature, nullptr};
    LV2_URID Id(const char* uri) { return map.map(this, uri); }

    struct Stored {
        std::vector<uint8_t> bytes;
        LV2_URID type = 0;
    };
    std::map<LV2_URID, Stored> stored;
};

LV2_State_Status Store(LV2_State_Handle h, uint32_t key, const void* value, size_t size, uint32_t type, uint32_t)
{
    auto* host = static_cast<Host*>(h);
    host->stored[key].bytes.assign(static_cast<const uint8_t*>(value), static_cast<const uint8_t*>(value) + size);
    host->stored[key].type = type;
    return LV2_STATE_SUCCESS;
}

const void* Retrieve(LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags)
{
    auto* host = static_cast<Host*>(h);
    auto found = host->stored.find(key);
    if (found == host->stored.end()) return nullptr;
    *size = found->second.bytes.size();
    *type = found->second.type;
    *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    return found->second.bytes.data();
}

// One instance with its ports connected to plain variables.
struct Instance {
    Instance(Host& host, double rate, bool withMap = true, bool activate = true)
    {
        const Bundle& bundle = TheBundle();
        const LV2_Feature* none[] = {nullptr};
        handle = bundle.descriptor->instantiate(bundle.descriptor, rate, QUILLOGRAPH_LV2_BUNDLE,
                                                withMap ? host.features : none);
        if (!handle) return;
        for (uint32_t i = 0; i < 4; ++i) bundle.descriptor->connect_port(handle, 4 + i, &controls[i]);
        state = static_cast<const LV2_State_Interface*>(bundle.descriptor->extension_data(LV2_STATE__interface));
        if (activate) Activate(true);
    }
    ~Instance()
    {
        if (!handle) return;
        Activate(false);
        TheBundle().descriptor->cleanup(handle);
    }
    void Activate(bool on)
    {
        if (on == active) return;
        (on ? TheBundle().descriptor->activate : TheBundle().descriptor->deactivate)(handle);
        active = on;
    }
    void Run(const float* inL, const float* inR, float* outL, float* outR, uint32_t frames)
    {
        const LV2_Descriptor* d = TheBundle().descriptor;
        d->connect_port(handle, 0, const_cast<float*>(inL));
        d->connect_port(handle, 1, const_cast<float*>(inR));
        d->connect_port(handle, 2, outL);
        d->connect_port(handle, 3, outR);
        d->run(handle, frames);
    }
    // The blob the instance stores; empty when it stores none.
    std::vector<uint8_t> Saved(Host& host)
    {
        host.stored.clear();
        state->save(handle, Store, &host, 0, nullptr);
        auto found = host.stored.find(host.Id("urn:veksa:quillograph#chunk"));
        return found == host.stored.end() ? std::vector<uint8_t>() : found->second.bytes;
    }
    double SavedValue(Host& host, int index)
    {
        const std::vector<uint8_t> blob = Saved(host);
        double value = std::numeric_limits<double>::quiet_NaN();
        if (blob.size() >= 32) std::memcpy(&value, blob.data() + 8 * index, sizeof value);
        return value;
    }
    LV2_State_Status Restore(Host& host, const std::vector<uint8_t>& bytes, const char* type)
    {
        host.stored.clear();
        host.stored[host.Id("urn:veksa:quillograph#chunk")] = {bytes, host.Id(type)};
        return state->restore(handle, Retrieve, &host, 0, nullptr);
    }

    // The background colour the instance stores, as alpha, red, green, blue.
    std::vector<int32_t> SavedBackground(Host& host)
    {
        const std::vector<uint8_t> blob = Saved(host);
        std::vector<int32_t> colour(4, -1);
        if (blob.size() >= 48) std::memcpy(colour.data(), blob.data() + 32, 16);
        return colour;
    }

    LV2_Handle handle = nullptr;
    const LV2_State_Interface* state = nullptr;
    float controls[4] = {1.0f, 1.0f, 0.0f, 0.0f};
    bool active = false;
};

class Lv2Bundle : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(TheBundle().descriptor, nullptr) << dlerror();
        ASSERT_STREQ(TheBundle().descriptor->URI, kUri);
    }
    Host host;
};

// A signal with the values a conversion could alter.
std::vector<float> Signal(size_t n, uint32_t seed)
{
    std::vector<float> s(n);
    const float special[] = {-0.0f, std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::max(),
                             -std::numeric_limits<float>::infinity(), 1.0f};
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        s[i] = i % 50 < 5 ? special[i % 5] : static_cast<float>(static_cast<int32_t>(seed)) / 2147483648.0f;
    }
    return s;
}

bool SameBits(const float* a, const float* b, size_t n)
{
    return std::memcmp(a, b, n * sizeof(float)) == 0;
}

TEST_F(Lv2Bundle, AudioPassesBitExactAtEveryRateAndBlockSizeInPlaceOrNot)
{
    const uint32_t blocks[] = {1, 7, 64, 512, 8192, 3, 4096, 8191, 2049, 1};
    for (double rate : {8000.0, 44100.0, 96000.0, 768000.0}) {
        Instance instance(host, rate);
        ASSERT_NE(instance.handle, nullptr) << rate;
        uint32_t seed = 1;
        for (int pass = 0; pass < 2; ++pass) {
            for (uint32_t frames : blocks) {
                const std::vector<float> left = Signal(frames, ++seed), right = Signal(frames, ++seed);
                std::vector<float> outL(frames, 7.0f), outR(frames, 7.0f);
                instance.Run(left.data(), right.data(), outL.data(), outR.data(), frames);
                EXPECT_TRUE(SameBits(left.data(), outL.data(), frames)) << rate << " Hz, " << frames << " frames";
                EXPECT_TRUE(SameBits(right.data(), outR.data(), frames)) << rate << " Hz, " << frames << " frames";
                // The host may hand the same buffers in and out.
                std::vector<float> bufL = left, bufR = right;
                instance.Run(bufL.data(), bufR.data(), bufL.data(), bufR.data(), frames);
                EXPECT_TRUE(SameBits(left.data(), bufL.data(), frames)) << rate << " Hz in place, " << frames;
                EXPECT_TRUE(SameBits(right.data(), bufR.data(), frames)) << rate << " Hz in place, " << frames;
            }
            // Stopped and started again between runs.
            TheBundle().descriptor->deactivate(instance.handle);
            TheBundle().descriptor->activate(instance.handle);
        }
        // Ports the host left unconnected: silence in, nothing written out.
        std::vector<float> out(256, 7.0f);
        instance.Run(nullptr, nullptr, out.data(), nullptr, 256);
        EXPECT_EQ(out, std::vector<float>(256, 0.0f));
    }
    // Rates no plug-in can run at are refused.
    for (double rate : {0.0, -48000.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        Instance refused(host, rate);
        EXPECT_EQ(refused.handle, nullptr) << rate;
    }
}

TEST_F(Lv2Bundle, TheAudioThreadAllocatesNothing)
{
    Instance instance(host, 48000.0);
    std::vector<float> left = Signal(8192, 3), right = Signal(8192, 4), outL(8192), outR(8192);
    instance.Run(left.data(), right.data(), outL.data(), outR.data(), 64);  // applies the controls
    AllocationCounter::Start();
    for (uint32_t frames : {1u, 64u, 8192u, 17u, 4096u})
        instance.Run(left.data(), right.data(), outL.data(), outR.data(), frames);
    EXPECT_EQ(AllocationCounter::Stop(), 0);
}

TEST_F(Lv2Bundle, ControlValuesAreClampedSnappedAndNaNIgnored)
{
    Instance instance(host, 48000.0);
    float buffer[16] = {};
    instance.controls[0] = 2.7f;   // list values snap to the nearest entry
    instance.controls[1] = 50.0f;  // beyond the range
    instance.controls[2] = -3.0f;
    instance.controls[3] = 0.5f;   // on/off: a half is on
    instance.Run(buffer, buffer, buffer, buffer, 16);
    EXPECT_EQ(instance.SavedValue(host, 0), 3.0);
    EXPECT_EQ(instance.SavedValue(host, 1), 20.0);
    EXPECT_EQ(instance.SavedValue(host, 2), 0.0);
    EXPECT_EQ(instance.SavedValue(host, 3), 1.0);

    instance.controls[1] = 1.37f;  // kept as the host gave it, not through a 0..1 float
    instance.controls[0] = std::nanf("");
    instance.Run(buffer, buffer, buffer, buffer, 16);
    EXPECT_EQ(instance.SavedValue(host, 1), static_cast<double>(1.37f));
    EXPECT_EQ(instance.SavedValue(host, 0), 3.0);
}

TEST_F(Lv2Bundle, TheStateBlobIsTheChunkAndAnythingElseIsRefusedWhole)
{
    Instance instance(host, 48000.0);
    const std::vector<uint8_t> fresh = instance.Saved(host);
    if (fresh.empty()) GTEST_SKIP() << "state chunk not available yet";
    ASSERT_EQ(fresh.size(), 96u);
    EXPECT_EQ(host.stored.begin()->second.type, host.Id(LV2_ATOM__Chunk));
    double values[4];
    std::memcpy(values, fresh.data(), sizeof values);
    EXPECT_EQ(values[0], 1.0);
    EXPECT_EQ(values[1], 1.0);
    EXPECT_EQ(values[2], 0.0);
    EXPECT_EQ(values[3], 0.0);

    std::vector<uint8_t> changed = fresh;
    const double scale = 7.25;
    std::memcpy(changed.data() + 8, &scale, sizeof scale);
    std::vector<uint8_t> shorter = changed;
    shorter.pop_back();
    EXPECT_EQ(instance.Restore(host, changed, LV2_ATOM__String), LV2_STATE_ERR_BAD_TYPE);
    EXPECT_NE(instance.Restore(host, shorter, LV2_ATOM__Chunk), LV2_STATE_SUCCESS);
    EXPECT_NE(instance.Restore(host, {}, LV2_ATOM__Chunk), LV2_STATE_SUCCESS);
    // Long enough, but no layout of ours: refused, and nothing changes.
    EXPECT_NE(instance.Restore(host, std::vector<uint8_t>(200, 0xFF), LV2_ATOM__Chunk), LV2_STATE_SUCCESS);
    EXPECT_EQ(instance.Saved(host), fresh);
    host.stored.clear();
    EXPECT_EQ(instance.state->restore(instance.handle, Retrieve, &host, 0, nullptr), LV2_STATE_ERR_NO_PROPERTY);
    EXPECT_EQ(instance.Saved(host), fresh);

    EXPECT_EQ(instance.Restore(host, changed, LV2_ATOM__Chunk), LV2_STATE_SUCCESS);
    EXPECT_EQ(instance.Saved(host), changed);

    // A state saved with a chosen editor scale carries it in a tail: it must come back whole.
    ChunkBytes scaled = changed;
    const ChunkBytes tail = ScaleTailBytes({2});
    scaled.insert(scaled.end(), tail.begin(), tail.end());
    EXPECT_EQ(instance.Restore(host, scaled, LV2_ATOM__Chunk), LV2_STATE_SUCCESS);
    EXPECT_EQ(instance.Saved(host), scaled);

    // Without a URID map there is no way to name the blob; the plug-in still runs.
    Instance unmapped(host, 48000.0, false);
    ASSERT_NE(unmapped.handle, nullptr);
    EXPECT_EQ(unmapped.state->save(unmapped.handle, Store, &host, 0, nullptr), LV2_STATE_ERR_NO_FEATURE);
}

// Hosts restore a state in several ways: the blob alone with the ports left at their defaults
// (Qtractor with no parameters saved), the blob and then the same values written to the ports
// (jalv), into a running instance, or before connecting the ports to buffers of their own.
// Whichever, the first blocks keep the restored values; a port the host changes afterwards
// applies as ever.
TEST_F(Lv2Bundle, ARestoredStateOutlivesTheFirstBlocksWhateverTheHostDoesWithItsPorts)
{
    std::vector<uint8_t> blob = Instance(host, 48000.0).Saved(host);
    ASSERT_GE(blob.size(), 32u);
    const std::vector<double> restored = {2.0, 5.0, 2.0, 0.0};
    std::memcpy(blob.data(), restored.data(), 32);
    float buffer[16] = {};
    const auto run = [&](Instance& instance) {
        instance.Run(buffer, buffer, buffer, buffer, 16);
        std::vector<double> v;
        for (int i = 0; i < 4; ++i) v.push_back(instance.SavedValue(host, i));
        return v;
    };
    const auto connect = [](Instance& instance, float* ports) {
        for (uint32_t i = 0; i < 4; ++i)
            TheBundle().descriptor->connect_port(instance.handle, 4 + i, ports ? &ports[i] : nullptr);
    };

    Instance alone(host, 48000.0);
    ASSERT_EQ(alone.Restore(host, blob, LV2_ATOM__Chunk), LV2_STATE_SUCCESS);
    run(alone);
    EXPECT_EQ(run(alone), restored) << "restored alone";
    alone.controls[1] = 3.0f;
    EXPECT_EQ(run(alone)[1], 3.0) << "a port changed after the restore";

    Instance running(host, 48000.0);
    run(running);
    ASSERT_EQ(running.Restore(host, blob, LV2_ATOM__Chunk), LV2_STATE_SUCCESS);
    EXPECT_EQ(run(running), restored) << "restored into a running instance";
    for (int i = 0; i < 4; ++i) running.controls[i] = static_cast<float>(restored[i]);
    EXPECT_EQ(run(running), restored) << "the restored values written to the ports";

    // Restored before activation with the ports unconnected, then connected to buffers of the
    // host's own holding the defaults; or connected anew to such buffers after the restore.
    float ports[4] = {1.0f, 1.0f, 0.0f, 0.0f};
    Instance early(host, 48000.0, true, false);
    connect(early, nullptr);
    ASSERT_EQ(early.Restore(host, blob, LV2_ATOM__Chunk), LV2_STATE_SUCCESS);
    connect(early, ports);
    early.Activate(true);
    EXPECT_EQ(run(early), restored) << "restored before the ports were connected";
    ports[3] = 1.0f;
    EXPECT_EQ(run(early)[3], 1.0) << "a port changed after the restore";

    float fresh[4] = {1.0f, 1.0f, 0.0f, 0.0f};
    Instance moved(host, 48000.0);
    ASSERT_EQ(moved.Restore(host, blob, LV2_ATOM__Chunk), LV2_STATE_SUCCESS);
    connect(moved, fresh);
    EXPECT_EQ(run(moved), restored) << "ports connected anew after the restore";
}

// The editor side: a host's X connection, its window, and the UI's features.
class Lv2Editor : public Lv2Bundle {
protected:
    void SetUp() override
    {
        Lv2Bundle::SetUp();
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X server";
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        hostWindow = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 400, 300, 0, 0, 0);
        XMapWindow(display, hostWindow);
        XSync(display, False);
    }
    void TearDown() override
    {
        if (display) XCloseDisplay(display);
    }

    struct Ui {
        LV2UI_Handle handle = nullptr;
        LV2UI_Widget widget = nullptr;
        Window Id() const { return static_cast<Window>(reinterpret_cast<uintptr_t>(widget)); }
    };
    // scaleFactor > 0 is given to the editor as the host's ui:scaleFactor option.
    Ui Open(LV2_Handle instance, bool withParent, bool withAccess, float scaleFactor = 0.0f)
    {
        Ui ui;
        const LV2_Options_Option options[2] = {
            {LV2_OPTIONS_INSTANCE, 0, host.Id(LV2_UI__scaleFactor), sizeof(float), host.Id(LV2_ATOM__Float), &scaleFactor},
            {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
        LV2_Feature optionsFeature = {LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
        LV2_Feature parent = {LV2_UI__parent, reinterpret_cast<void*>(hostWindow)};
        LV2_Feature access = {LV2_INSTANCE_ACCESS_URI, instance};
        LV2_Feature resize = {LV2_UI__resize, &resizer};
        std::vector<const LV2_Feature*> features = {&host.mapFeature, &resize};
        if (withParent) features.push_back(&parent);
        if (withAccess) features.push_back(&access);
        if (scaleFactor > 0.0f) features.push_back(&optionsFeature);
        features.push_back(nullptr);
        const LV2UI_Descriptor* d = TheBundle().uiDescriptor;
        ui.handle = d->instantiate(d, kUri, QUILLOGRAPH_LV2_BUNDLE, Write, this, &ui.widget, features.data());
        return ui;
    }
    static void Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
    {
        if (format != 0 || size != sizeof(float)) return;
        float value;
        std::memcpy(&value, buffer, sizeof value);
        static_cast<Lv2Editor*>(controller)->written[port] = value;
    }
    int Idle(const Ui& ui)
    {
        auto* idle = static_cast<const LV2UI_Idle_Interface*>(TheBundle().uiDescriptor->extension_data(LV2_UI__idleInterface));
        return idle->idle(ui.handle);
    }
    void Close(const Ui& ui) { TheBundle().uiDescriptor->cleanup(ui.handle); }
    // A click at a window point with modifiers held, taken up at the next idle call.
    void Click(const Ui& ui, int x, int y, unsigned modifiers, unsigned button = Button1)
    {
        SendButton(display, ui.Id(), ButtonPress, button, x, y, modifiers);
        const unsigned held = button == Button1 ? Button1Mask : Button3Mask;
        SendButton(display, ui.Id(), ButtonRelease, button, x, y, modifiers | held);
        XSync(display, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(45));
        Idle(ui);
    }
    Window ParentOf(Window window)
    {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
        if (children) XFree(children);
        return parent;
    }
    // Whether the window shows text in the caption colour (blue, no red) in its middle band,
    // where the frozen view writes its note.
    bool ShowsNote(const Ui& ui)
    {
        for (int tries = 0; tries < 10; ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            Idle(ui);
            XImage* image = XGetImage(display, ui.Id(), 0, 40, 232, 16, AllPlanes, ZPixmap);
            int bluish = 0;
            for (int y = 0; image && y < 16; ++y) {
                for (int x = 0; x < 232; ++x) {
                    const unsigned long pixel = XGetPixel(image, x, y);
                    if ((pixel & 0xFF) >= 0x80 && ((pixel >> 16) & 0xFF) < 0x10) ++bluish;
                }
            }
            if (image) XDestroyImage(image);
            if (bluish > 20) return true;
        }
        return false;
    }

    Display* display = nullptr;
    Window hostWindow = 0;
    std::string requested;
    // Features stay valid as long as the editor lives: it asks for room again when its scale changes.
    LV2UI_Resize resizer = {this, [](LV2UI_Feature_Handle h, int w, int hgt) {
                                static_cast<Lv2Editor*>(h)->requested = std::to_string(w) + "x" + std::to_string(hgt);
                                return 0;
                            }};
    std::map<uint32_t, float> written;
};

TEST_F(Lv2Editor, OpensInTheHostWindowAndSendsRestoredValuesToTheHost)
{
    Instance instance(host, 48000.0);
    const Ui ui = Open(instance.handle, true, true);
    ASSERT_NE(ui.handle, nullptr);
    EXPECT_EQ(ParentOf(ui.Id()), hostWindow);
    EXPECT_EQ(requested, "232x96");
    EXPECT_EQ(Idle(ui), 0);
    EXPECT_FALSE(ShowsNote(ui));

    std::vector<uint8_t> blob = instance.Saved(host);
    if (!blob.empty()) {
        const double domain = 2.0;
        std::memcpy(blob.data(), &domain, sizeof domain);
        ASSERT_EQ(instance.Restore(host, blob, LV2_ATOM__Chunk), LV2_STATE_SUCCESS);
        EXPECT_EQ(Idle(ui), 0);
        EXPECT_EQ(written[4], 2.0f);  // the host's control port learns the restored domain
        EXPECT_EQ(written[5], 1.0f);
    }
    Close(ui);
}

TEST_F(Lv2Editor, WithoutInstanceAccessTheViewIsFrozenWithANote)
{
    Instance instance(host, 48000.0);
    const Ui ui = Open(instance.handle, true, false);
    ASSERT_NE(ui.handle, nullptr);
    EXPECT_EQ(ParentOf(ui.Id()), hostWindow);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Idle(ui), 0);
    EXPECT_TRUE(ShowsNote(ui));
    // A handle that is no instance of ours (a host bridging the plug-in from another
    // process, say) counts as no access.
    int notAnInstance[64] = {};
    const Ui bridged = Open(notAnInstance, true, true);
    ASSERT_NE(bridged.handle, nullptr);
    EXPECT_TRUE(ShowsNote(bridged));
    Close(bridged);
    // The stand-in follows the host's controls but never reaches the plug-in.
    const float phase = 2.0f;
    TheBundle().uiDescriptor->port_event(ui.handle, 4, sizeof phase, 0, &phase);
    EXPECT_EQ(Idle(ui), 0);
    EXPECT_EQ(instance.SavedValue(host, 0), 1.0);
    Close(ui);
}

TEST_F(Lv2Editor, WithoutAParentTheEditorIsAWindowOfItsOwn)
{
    Instance instance(host, 48000.0);
    const Ui ui = Open(instance.handle, false, true);
    ASSERT_NE(ui.handle, nullptr);
    EXPECT_EQ(ParentOf(ui.Id()), DefaultRootWindow(display));
    EXPECT_EQ(Idle(ui), 0);
    Close(ui);
}

TEST_F(Lv2Editor, ASecondEditorOfTheSameInstanceLeavesTheFirstAlone)
{
    Instance instance(host, 48000.0);
    const Ui first = Open(instance.handle, true, true);
    const Ui second = Open(instance.handle, true, true);
    ASSERT_NE(first.handle, nullptr);
    ASSERT_NE(second.handle, nullptr);
    EXPECT_NE(first.Id(), second.Id());
    EXPECT_TRUE(ShowsNote(second));
    Close(second);
    EXPECT_EQ(Idle(first), 0);
    EXPECT_EQ(ParentOf(first.Id()), hostWindow);
    Close(first);
    const Ui third = Open(instance.handle, true, true);
    ASSERT_NE(third.handle, nullptr);
    EXPECT_FALSE(ShowsNote(third));
    Close(third);
}

TEST_F(Lv2Editor, AtTheHostsScaleFactorEveryPixelIsABlockAndCtrlClickInTheCornerCyclesTheScale)
{
    Instance instance(host, 48000.0);
    const Ui ui = Open(instance.handle, true, true, 2.5f);
    ASSERT_NE(ui.handle, nullptr);
    EXPECT_EQ(requested, "464x192");
    Window root = 0;
    int x = 0, y = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    XGetGeometry(display, ui.Id(), &root, &x, &y, &w, &h, &border, &depth);
    EXPECT_EQ(w, 464u);
    EXPECT_EQ(h, 192u);
    for (int i = 0; i < 6; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(45));
        Idle(ui);
    }
    XImage* image = XGetImage(display, ui.Id(), 0, 0, 464, 192, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    int mixed = 0, lit = 0;
    for (int by = 0; by < 192; by += 2)
        for (int bx = 0; bx < 464; bx += 2) {
            const unsigned long p = XGetPixel(image, bx, by);
            lit += (p & 0xFFFFFF) != 0;
            mixed += XGetPixel(image, bx + 1, by) != p || XGetPixel(image, bx, by + 1) != p ||
                     XGetPixel(image, bx + 1, by + 1) != p;
        }
    XDestroyImage(image);
    EXPECT_EQ(mixed, 0) << "every 2 x 2 block is one pixel of the picture";
    EXPECT_GT(lit, 100) << "the grid and the caption are drawn";

    // Ctrl + left click in the corner square {216, 80, 232, 96}, where the window shows it.
    Click(ui, 2 * 224, 2 * 88, ControlMask);
    EXPECT_EQ(requested, "232x96");
    XGetGeometry(display, ui.Id(), &root, &x, &y, &w, &h, &border, &depth);
    EXPECT_EQ(w, 232u);
    EXPECT_EQ(instance.controls[3], 0.0f) << "the click did not reach the display";
    Close(ui);
}

// The guide installed in the bundle, handed to xdg-open: here a stand-in first on the PATH
// that writes down the address it was given, and whether it holds a descriptor of the host's.
TEST_F(Lv2Editor, TheCornerSquareOpensTheUserGuideInTheBundle)
{
    const std::string bundle = QUILLOGRAPH_LV2_BUNDLE;
    std::FILE* guide = std::fopen((bundle + "/Quillograph.html").c_str(), "rb");
    ASSERT_NE(guide, nullptr) << "no user guide in the bundle (is cmark-gfm installed?)";
    std::fclose(guide);
    // A descriptor of the host's that a child would inherit, at a number the shell leaves alone.
    const int original = open("/dev/null", O_RDONLY);
    const int hostDescriptor = fcntl(original, F_DUPFD, 40);
    close(original);
    ASSERT_GE(hostDescriptor, 40);
    char made[] = "/tmp/quillograph-xdg-XXXXXX";
    ASSERT_NE(mkdtemp(made), nullptr);
    const std::string folder = made, opener = folder + "/xdg-open", opened = folder + "/opened";
    if (std::FILE* script = std::fopen(opener.c_str(), "w")) {
        // The address, then whether the opener holds the host's descriptor.
        std::fprintf(script,
                     "#!/bin/sh\n{ printf '%%s' \"$1\"; if [ -e /proc/$$/fd/%d ]; then printf ' inherited'; fi; }"
                     " > '%s.part' && mv '%s.part' '%s'\n",
                     hostDescriptor, opened.c_str(), opened.c_str(), opened.c_str());
        std::fclose(script);
    }
    chmod(opener.c_str(), 0755);
    const char* oldPath = std::getenv("PATH");
    const std::string savedPath = oldPath ? oldPath : "/usr/bin:/bin";
    setenv("PATH", (folder + ":" + savedPath).c_str(), 1);

    Instance instance(host, 48000.0);
    const Ui ui = Open(instance.handle, true, true);
    ASSERT_NE(ui.handle, nullptr);
    Click(ui, 224, 88, 0);
    std::string url;
    for (int tries = 0; tries < 100 && url.empty(); ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (std::FILE* file = std::fopen(opened.c_str(), "r")) {
            char text[4096] = {};
            url.assign(text, std::fread(text, 1, sizeof text - 1, file));
            std::fclose(file);
        }
    }
    EXPECT_EQ(url, "file://" + bundle + "/Quillograph.html");
    EXPECT_EQ(instance.SavedValue(host, 3), 0.0) << "the click did not pause the display";
    Close(ui);

    setenv("PATH", savedPath.c_str(), 1);
    close(hostDescriptor);
    std::remove(opened.c_str());
    std::remove(opener.c_str());
    rmdir(folder.c_str());
}

TEST_F(Lv2Editor, WithoutTheHostsScaleFactorXftDpiChoosesTheScale)
{
    // The screen's resources as a desktop sets them; read by a display opened afterwards.
    const std::string resources = "Xft.dpi:\t288\n";
    const Atom manager = XInternAtom(display, "RESOURCE_MANAGER", False);
    XChangeProperty(display, DefaultRootWindow(display), manager, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(resources.c_str()), static_cast<int>(resources.size()));
    XSync(display, False);
    {
        Instance instance(host, 48000.0);
        const Ui ui = Open(instance.handle, true, true);
        ASSERT_NE(ui.handle, nullptr);
        EXPECT_EQ(requested, "696x288");
        Close(ui);
    }
    XDeleteProperty(display, DefaultRootWindow(display), manager);
    XSync(display, False);
}

TEST_F(Lv2Editor, EveryDisplayDrawsAtTheLowestAndHighestRates)
{
    for (double rate : {8000.0, 768000.0}) {
        Instance instance(host, rate);
        const Ui ui = Open(instance.handle, true, true);
        ASSERT_NE(ui.handle, nullptr);
        std::vector<float> left = Signal(8192, 7), right = Signal(8192, 8), outL(8192), outR(8192);
        for (int domain = 0; domain < 4; ++domain) {
            instance.controls[0] = static_cast<float>(domain);
            instance.controls[2] = static_cast<float>(domain + 3);
            for (uint32_t frames : {8192u, 1u, 300u}) {
                instance.Run(left.data(), right.data(), outL.data(), outR.data(), frames);
                std::this_thread::sleep_for(std::chrono::milliseconds(45));
                EXPECT_EQ(Idle(ui), 0) << rate << " Hz, domain " << domain;
            }
        }
        Close(ui);
    }
}

TEST_F(Lv2Editor, APlugInCleanedUpBeforeItsEditorLeavesTheEditorClosedEvenWhenAnotherTakesItsAddress)
{
    auto* instance = new Instance(host, 48000.0);
    const LV2_Handle address = instance->handle;
    const Ui ui = Open(instance->handle, true, true);
    ASSERT_NE(ui.handle, nullptr);
    EXPECT_EQ(Idle(ui), 0);
    delete instance;
    EXPECT_EQ(Idle(ui), 1);
    // The host makes new instances; the allocator may well give one the old address, which
    // must not pass for the plug-in the editor had.
    std::vector<std::unique_ptr<Instance>> later;
    bool reused = false;
    for (int i = 0; i < 8 && !reused; ++i) {
        later.emplace_back(new Instance(host, 48000.0));
        reused = later.back()->handle == address;
    }
    if (!reused) std::printf("(no new instance was given the old address)\n");
    for (int i = 0; i < 3; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(45));
        EXPECT_EQ(Idle(ui), 1);
    }
    Close(ui);
    // The instance at the old address has an editor of its own.
    const Ui next = Open(later.back()->handle, true, true);
    ASSERT_NE(next.handle, nullptr);
    EXPECT_FALSE(ShowsNote(next));
    Close(next);
}

// The host closes the editor, or cleans the plug-in up, on another thread than the one
// serving the editor while its colour prompt is up: the prompt ends as cancelled, and
// nothing of the editor or the plug-in is used once gone.
TEST_F(Lv2Editor, ClosedOrCleanedUpFromAnotherThreadWhileItsColourPromptIsUp)
{
    Display* own = XOpenDisplay(nullptr);
    ASSERT_NE(own, nullptr);
    {
        Instance instance(host, 48000.0);
        const Ui ui = Open(instance.handle, true, true);
        ASSERT_NE(ui.handle, nullptr);
        std::thread serving([&] { Click(ui, 100, 50, ShiftMask, Button3); });
        EXPECT_NE(WindowNamed(own, "Background Color"), 0u) << "no prompt";
        Close(ui);
        serving.join();
        EXPECT_TRUE(NoWindowNamed(own, "Background Color"));
        EXPECT_EQ(instance.SavedBackground(host), (std::vector<int32_t>{255, 0, 0, 0}));
    }
    {
        auto* instance = new Instance(host, 48000.0);
        const Ui ui = Open(instance->handle, true, true);
        ASSERT_NE(ui.handle, nullptr);
        int after = -1;
        std::thread serving([&] {
            Click(ui, 100, 50, ShiftMask, Button3);
            after = Idle(ui);
        });
        EXPECT_NE(WindowNamed(own, "Background Color"), 0u) << "no prompt";
        delete instance;
        serving.join();
        EXPECT_EQ(after, 1);
        EXPECT_TRUE(NoWindowNamed(own, "Background Color"));
        Close(ui);
    }
    XCloseDisplay(own);
}

TEST_F(Lv2Editor, OpenedBeforeActivationAndKeptOpenThroughActivationsAndItsHostWindowsEnd)
{
    Instance instance(host, 48000.0, true, false);
    const Ui ui = Open(instance.handle, true, true);
    ASSERT_NE(ui.handle, nullptr);
    EXPECT_EQ(Idle(ui), 0);
    std::vector<float> left = Signal(512, 9), right = Signal(512, 10), outL(512), outR(512);
    for (int round = 0; round < 4; ++round) {
        instance.Activate(true);
        instance.Run(left.data(), right.data(), outL.data(), outR.data(), 512);
        EXPECT_EQ(Idle(ui), 0);
        instance.Activate(false);
        std::this_thread::sleep_for(std::chrono::milliseconds(45));
        EXPECT_EQ(Idle(ui), 0);
    }
    // The host destroys its window, the editor's with it, before closing the editor.
    XDestroyWindow(display, hostWindow);
    XSync(display, False);
    int open = 0;
    for (int i = 0; i < 20 && open == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        open = Idle(ui);
    }
    EXPECT_EQ(open, 1);
    Close(ui);
}

int OpenDescriptors()
{
    int count = 0;
    for (int fd = 0; fd < 4096; ++fd) count += fcntl(fd, F_GETFD) != -1;
    return count;
}

long ResidentKilobytes()
{
    long kb = -1;
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status))
            if (std::sscanf(line, "VmRSS: %ld", &kb) == 1) break;
        std::fclose(status);
    }
    return kb;
}

// Each open editor has a connection of its own to the X server: a descriptor of the process
// and one of the server's clients (Xvfb and Xorg take 256 by default). Closing the editor
// gives both back, while the plug-in stays.
TEST_F(Lv2Editor, FiftyEditorsHoldAConnectionEachAndGiveItBackWhenClosed)
{
    const int descriptors = OpenDescriptors();
    const long resident = ResidentKilobytes();
    std::vector<std::unique_ptr<Instance>> instances;
    std::vector<Ui> uis;
    for (int i = 0; i < 50; ++i) instances.emplace_back(new Instance(host, 48000.0));
    const long plugIns = ResidentKilobytes() - resident;
    for (int i = 0; i < 50; ++i) {
        uis.push_back(Open(instances[i]->handle, true, true));
        ASSERT_NE(uis.back().handle, nullptr) << "editor " << i;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(45));
    for (const Ui& ui : uis) EXPECT_EQ(Idle(ui), 0);
    // The server gives each client a range of window ids of its own.
    std::set<unsigned long> clients;
    for (const Ui& ui : uis) clients.insert(ui.Id() & ~0x1FFFFFul);
    const int held = OpenDescriptors() - descriptors;
    const long editors = ResidentKilobytes() - resident - plugIns;
    EXPECT_EQ(held, 50);
    EXPECT_EQ(clients.size(), 50u);
    std::printf("50 plug-ins: %ld kB resident; their 50 open editors: %d descriptors, %zu X clients, %ld kB more\n",
                plugIns, held, clients.size(), editors);
    for (const Ui& ui : uis) Close(ui);
    EXPECT_EQ(OpenDescriptors(), descriptors) << "closed editors kept their connections";
    instances.clear();
    EXPECT_EQ(OpenDescriptors(), descriptors);
}

TEST_F(Lv2Editor, OpenedAndClosedWhileAudioRuns)
{
    Instance instance(host, 48000.0);
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        std::vector<float> left = Signal(256, 5), right = Signal(256, 6), outL(256), outR(256);
        while (!stop) {
            instance.Run(left.data(), right.data(), outL.data(), outR.data(), 256);
            if (!SameBits(left.data(), outL.data(), 256)) std::abort();
        }
    });
    for (int round = 0; round < 10; ++round) {
        const Ui ui = Open(instance.handle, round % 2 == 0, true);
        ASSERT_NE(ui.handle, nullptr);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(Idle(ui), 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        }
        Close(ui);
    }
    stop = true;
    audio.join();
}

}  // namespace
