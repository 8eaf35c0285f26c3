// A byte stream read as one hostile host's session with one instance: every request of the
// interface with odd indices, huge and negative values and NaN, interleaved with blocks of
// any size, parameter automation, editor ticks and mouse input. Pointers only ever reach
// buffers this host owns, each at least as large as the interface says and sized by the
// stream beyond that. Posing as host id 1, the host's own functions answer what the stream
// says. Audio must come out exactly as it went in.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "graphics/native/HeadlessWindow.h"
#include "plugin/Param.h"
#include "plugin/PluginCore.h"
#include "tests/fuzz/FuzzHost.h"

using namespace FuzzHost;

namespace {

constexpr int kMaxSteps = 256;
constexpr int kMaxBlock = 8192;
constexpr long kFrameBudget = 1 << 16;  // per session, so that one input stays quick
constexpr int kMaxChannels = 64;
constexpr int kFirstUnknownOpcode = 80;

struct Session {
    AEffect* effect = nullptr;
    std::vector<uint8_t> savedState;  // the last state effGetChunk answered
    long framesLeft = kFrameBudget;
};

VstInt32 OddIndex(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0: return std::numeric_limits<VstInt32>::min();
    case 1: return std::numeric_limits<VstInt32>::max();
    case 2: return -1;
    case 3: return in.ConsumeIntegral<VstInt32>();
    default: return in.ConsumeIntegralInRange<VstInt32>(0, 8);
    }
}

VstIntPtr OddValue(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 6)) {
    case 0: return std::numeric_limits<VstIntPtr>::min();
    case 1: return std::numeric_limits<VstIntPtr>::max();
    case 2: return -1;
    case 3: return std::numeric_limits<VstInt32>::max() + VstIntPtr(in.ConsumeIntegralInRange(0, 2));
    case 4: return in.ConsumeIntegral<VstIntPtr>();
    default: return in.ConsumeIntegralInRange<VstIntPtr>(0, 1 << 14);
    }
}

float OddFloat(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 11)) {
    case 0: return std::numeric_limits<float>::quiet_NaN();
    case 1: return std::numeric_limits<float>::infinity();
    case 2: return -std::numeric_limits<float>::infinity();
    case 3: return std::numeric_limits<float>::denorm_min();
    case 4: return std::numeric_limits<float>::max();
    case 5: return -1.0f;
    case 6: return 0.0f;
    case 7: return 44100.0f;
    case 8: return 192000.0f;
    case 9: {
        const uint32_t bits = in.ConsumeIntegral<uint32_t>();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    default: return in.ConsumeFloatingPointInRange(-2.0f, 2.0f);
    }
}

// A buffer of at least `minimum` bytes, more as the stream says, holding stream bytes.
std::vector<uint8_t> Buffer(FuzzedDataProvider& in, size_t minimum)
{
    const size_t n = minimum + in.ConsumeIntegralInRange<size_t>(0, 64);
    std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(n);
    bytes.resize(n);
    return bytes;
}

std::vector<uint8_t> Text(FuzzedDataProvider& in)
{
    const std::string s = in.ConsumeRandomLengthString(80);
    std::vector<uint8_t> bytes(s.begin(), s.end());
    bytes.push_back(0);
    return bytes;
}

std::vector<uint8_t> Arrangement(FuzzedDataProvider& in)
{
    std::vector<uint8_t> bytes = Buffer(in, sizeof(VstSpeakerArrangement));
    static const VstInt32 counts[] = {-1, 0, 1, 2, 6, 8, 64, 65, 1000, std::numeric_limits<VstInt32>::max(),
                                      std::numeric_limits<VstInt32>::min()};
    const size_t pick = in.ConsumeIntegralInRange<size_t>(0, sizeof counts / sizeof counts[0]);
    const VstInt32 channels = pick < sizeof counts / sizeof counts[0] ? counts[pick] : in.ConsumeIntegral<VstInt32>();
    std::memcpy(bytes.data() + offsetof(VstSpeakerArrangement, numChannels), &channels, sizeof channels);
    return bytes;
}

// A VstEvents block with its event records, all owned by `store`.
void* Events(FuzzedDataProvider& in, std::vector<std::vector<uint8_t>>& store)
{
    const int count = in.ConsumeIntegralInRange(0, 8);
    const size_t slots = count > 2 ? size_t(count) : 2;
    store.emplace_back(offsetof(VstEvents, events) + slots * sizeof(VstEvent*), 0);
    auto* block = reinterpret_cast<VstEvents*>(store.back().data());
    // The record declares two slots; a host's block holds as many as it says.
    auto** slot = reinterpret_cast<VstEvent**>(store.back().data() + offsetof(VstEvents, events));
    // The host may say fewer than it holds, or a negative count; never more.
    block->numEvents = in.ConsumeBool() ? count : in.ConsumeIntegralInRange(-3, count);
    for (int i = 0; i < count; ++i) {
        switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            slot[i] = nullptr;
            break;
        case 1: {
            std::vector<uint8_t> dump = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange(0, 64));
            store.push_back(Buffer(in, sizeof(VstMidiSysexEvent)));
            auto* sysex = reinterpret_cast<VstMidiSysexEvent*>(store.back().data());
            sysex->type = kVstSysExType;
            sysex->byteSize = sizeof(VstMidiSysexEvent);
            sysex->dumpBytes = static_cast<VstInt32>(dump.size());
            store.push_back(std::move(dump));
            sysex->sysexDump = reinterpret_cast<char*>(store.back().data());
            slot[i] = reinterpret_cast<VstEvent*>(sysex);
            break;
        }
        default: {
            store.push_back(Buffer(in, sizeof(VstEvent)));
            auto* event = reinterpret_cast<VstEvent*>(store.back().data());
            if (in.ConsumeBool()) event->type = kVstMidiType;
            slot[i] = event;
            break;
        }
        }
    }
    return block;
}

VstInt32 PickOpcode(FuzzedDataProvider& in)
{
    const uint8_t pick = in.ConsumeIntegral<uint8_t>();
    return pick < 240 ? pick % kFirstUnknownOpcode : in.ConsumeIntegral<VstInt32>();
}

// One request; false when the host ends the session with effClose.
bool Request(Session& s, FuzzedDataProvider& in)
{
    const VstInt32 opcode = PickOpcode(in);
    if (opcode == effClose) return false;
    const VstInt32 index = OddIndex(in);
    VstIntPtr value = OddValue(in);
    const float opt = OddFloat(in);
    const bool withPtr = in.ConsumeIntegralInRange(0, 7) != 0;

    std::vector<std::vector<uint8_t>> store;  // everything the pointers reach
    auto own = [&store](std::vector<uint8_t> bytes) {
        store.push_back(std::move(bytes));
        return static_cast<void*>(store.back().data());
    };
    store.reserve(64);
    void* ptr = nullptr;
    switch (opcode) {
    case effGetProgramName:
    case effGetProgramNameIndexed:
        ptr = own(Buffer(in, kVstMaxProgNameLen));
        break;
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
        ptr = own(Buffer(in, Param::kMaxHostText));
        break;
    case effGetEffectName:
        ptr = own(Buffer(in, kVstMaxEffectNameLen));
        break;
    case effGetVendorString:
        ptr = own(Buffer(in, kVstMaxVendorStrLen));
        break;
    case effGetProductString:
        ptr = own(Buffer(in, kVstMaxProductStrLen));
        break;
    case effGetInputProperties:
    case effGetOutputProperties:
        ptr = own(Buffer(in, sizeof(VstPinProperties)));
        break;
    case effGetMidiKeyName:
        ptr = own(Buffer(in, sizeof(MidiKeyName)));
        break;
    case effEditGetRect:
    case effGetChunk:
        ptr = own(std::vector<uint8_t>(sizeof(void*), 0));
        break;
    case effSetProgramName:
    case effCanDo:
    case effString2Parameter:
        ptr = own(Text(in));
        break;
    case effSetChunk: {
        std::vector<uint8_t> bytes = in.ConsumeBool() ? s.savedState
                                                      : in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange(0, 512));
        // The size is the buffer's, or a negative one; a host never claims more than it has.
        value = in.ConsumeIntegralInRange(0, 7) == 0 ? -VstIntPtr(1 + in.ConsumeIntegralInRange(0, 1 << 20))
                                                     : VstIntPtr(bytes.size());
        ptr = bytes.empty() ? nullptr : own(std::move(bytes));
        break;
    }
    case effProcessEvents:
        ptr = Events(in, store);
        break;
    case effSetSpeakerArrangement:
        value = in.ConsumeBool() ? reinterpret_cast<VstIntPtr>(own(Arrangement(in))) : 0;
        ptr = own(Arrangement(in));
        break;
    default:
        ptr = own(Buffer(in, in.ConsumeIntegralInRange<size_t>(0, 256)));
        break;
    }
    if (!withPtr) ptr = nullptr;

    const VstIntPtr answer = Dispatch(s.effect, opcode, index, value, ptr, opt);

    if (opcode == effGetChunk && ptr && answer != 0) {
        const auto* data = *static_cast<uint8_t**>(ptr);
        if (answer < 0 || !data) Fail("effGetChunk answered a size without data");
        s.savedState.assign(data, data + answer);
    }
    if (opcode == effEditGetRect && ptr && answer != 0) {
        const ERect* rect = *static_cast<ERect**>(ptr);
        if (!rect || rect->right - rect->left <= 0 || rect->bottom - rect->top <= 0)
            Fail("effEditGetRect answered no rectangle");
    }
    return true;
}

bool SameSample(float a, float b)
{
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameSample(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

template <typename T>
T Sample(FuzzedDataProvider& in, uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    if ((state >> 24) < 4) {
        switch (in.ConsumeIntegralInRange(0, 4)) {
        case 0: return std::numeric_limits<T>::quiet_NaN();
        case 1: return std::numeric_limits<T>::infinity();
        case 2: return std::numeric_limits<T>::denorm_min();
        case 3: return -T(0);
        default: return std::numeric_limits<T>::max();
        }
    }
    return static_cast<T>(static_cast<int32_t>(state) / 2147483648.0);
}

// One block through one of the three audio callbacks, with as many channels as the record
// announces; channels the plug-in passes through must come out exactly as they went in.
template <typename T>
void Block(Session& s, FuzzedDataProvider& in, int variant)
{
    AEffect* effect = s.effect;
    int frames = in.ConsumeIntegralInRange(0, kMaxBlock);
    if (in.ConsumeIntegralInRange(0, 15) == 0) frames = -in.ConsumeIntegralInRange(1, kMaxBlock);
    if (frames > s.framesLeft) frames = static_cast<int>(s.framesLeft);
    if (frames > 0) s.framesLeft -= frames;
    const size_t length = frames > 0 ? size_t(frames) : 0;

    auto bounded = [](VstInt32 n) { return n < 0 ? 0 : n > kMaxChannels ? kMaxChannels : int(n); };
    const int inputs = bounded(effect->numInputs);
    const int outputs = bounded(effect->numOutputs);
    const bool inPlace = in.ConsumeBool();
    const uint32_t nullMask = in.ConsumeIntegralInRange(0, 3) == 0 ? in.ConsumeIntegral<uint32_t>() : 0;
    uint32_t state = in.ConsumeIntegral<uint32_t>();

    std::vector<std::vector<T>> inData(inputs), outData(outputs);
    std::vector<T*> inPtr(inputs > 0 ? inputs : 1, nullptr), outPtr(outputs > 0 ? outputs : 1, nullptr);
    for (int c = 0; c < inputs; ++c) {
        inData[c].resize(length);
        for (T& x : inData[c]) x = Sample<T>(in, state);
        if (!(nullMask >> (c % 32) & 1)) inPtr[c] = inData[c].data();
    }
    for (int c = 0; c < outputs; ++c) {
        outData[c].resize(length);
        for (T& x : outData[c]) x = Sample<T>(in, state);
        if (!(nullMask >> ((c + 16) % 32) & 1)) outPtr[c] = outData[c].data();
        if (inPlace && c < inputs && inPtr[c]) outPtr[c] = inPtr[c];
    }
    const std::vector<std::vector<T>> inBefore = inData, outBefore = outData;

    if constexpr (sizeof(T) == sizeof(double)) {
        effect->processDoubleReplacing(effect, inPtr.data(), outPtr.data(), frames);
    } else if (variant == 0) {
        effect->process(effect, inPtr.data(), outPtr.data(), frames);
    } else {
        effect->processReplacing(effect, inPtr.data(), outPtr.data(), frames);
    }

    const PluginCore* core = Core(effect);
    int through = core->InputCount() < core->OutputCount() ? core->InputCount() : core->OutputCount();
    if (through > inputs) through = inputs;
    if (through > outputs) through = outputs;
    for (int c = 0; c < through; ++c) {
        if (!outPtr[c]) continue;
        const bool sameBuffer = outPtr[c] == inPtr[c];
        for (size_t i = 0; i < length; ++i) {
            const T input = inPtr[c] ? inBefore[c][i] : T(0);
            T expected = input;
            if (sizeof(T) == sizeof(float) && variant == 0)
                expected = static_cast<T>((sameBuffer ? input : outBefore[c][i]) + input);
            if (!SameSample(outPtr[c][i], expected)) Fail("a block did not pass through unchanged");
        }
    }
}

void Automate(Session& s, FuzzedDataProvider& in)
{
    AEffect* effect = s.effect;
    const VstInt32 index = OddIndex(in);
    if (in.ConsumeBool()) {
        const float value = in.ConsumeBool() ? in.ConsumeProbability<float>() : OddFloat(in);
        effect->setParameter(effect, index, value);
    } else {
        const float value = effect->getParameter(effect, index);
        if (!(value >= 0.0f && value <= 1.0f)) Fail("a parameter reads outside 0..1");
    }
}

// What the host's user-interface thread delivers to an open editor.
void Editor(Session& s, FuzzedDataProvider& in)
{
    HeadlessWindow* window = Window(s.effect);
    if (!window || !window->Exists()) return;
    const int32_t x = in.ConsumeIntegralInRange(-40, 280);
    const int32_t y = in.ConsumeIntegralInRange(-40, 140);
    MouseKeys keys;
    const uint8_t bits = in.ConsumeIntegral<uint8_t>();
    keys.left = bits & 1;
    keys.right = bits >> 1 & 1;
    keys.shift = bits >> 2 & 1;
    keys.ctrl = bits >> 3 & 1;
    keys.alt = bits >> 4 & 1;
    switch (in.ConsumeIntegralInRange(0, 6)) {
    case 0: window->MouseDown(x, y, keys); break;
    case 1: window->MouseUp(x, y); break;
    case 2: window->MouseMove(x, y, keys); break;
    case 3: window->MouseDoubleClick(x, y, keys); break;
    case 4: window->MouseWheel(x, y, keys, in.ConsumeBool() ? in.ConsumeIntegral<int32_t>() : 120); break;
    case 5: window->MouseLeave(); break;
    default: window->Tick(); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    Session s;
    SetHostFunctions(0, false, false);
    s.effect = MakeInstance(in.ConsumeBool() ? kHostOne : kPlainHost);
    if (!s.effect) Fail("no instance");
    for (int step = 0; step < kMaxSteps && in.remaining_bytes() > 0; ++step) {
        bool open = true;
        switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0: case 1: case 2: open = Request(s, in); break;
        case 3: Block<float>(s, in, 0); break;
        case 4: Block<float>(s, in, 1); break;
        case 5: Block<double>(s, in, 2); break;
        case 6:
            if (in.ConsumeIntegralInRange(0, 7) == 0) {
                static const int states[] = {0, 1, 2, 5, 6, -1, 1000};
                SetHostFunctions(states[in.ConsumeIntegralInRange(0, 6)], in.ConsumeBool(), in.ConsumeBool());
            } else {
                Automate(s, in);
            }
            break;
        default: Editor(s, in); break;
        }
        if (!open) break;
    }
    Close(s.effect);
    return 0;
}
