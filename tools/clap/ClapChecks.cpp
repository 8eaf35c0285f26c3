#include "tools/clap/ClapChecks.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tools/ExpectedStateChunk.h"

#if !defined(_WIN32)
#include <poll.h>
#endif

namespace {

const char* const kNames[4] = {"domain", "v scale", "fft zoom", "pause"};
const double kMin[4] = {0, 0.1, 0, 0};
const double kMax[4] = {3, 20, 6, 1};
const double kDefault[4] = {1, 1, 0, 0};
const char* const kDomains[4] = {"time", "freq", "phase", "spectro"};
const char* const kBands[7] = {"0-18k", "20-200", "100-500", "500-2k", "1k-7.5k", "7.5k-12k", "12k-20k"};
// The colours of a fresh instance, as its chunk holds them.
const int32_t kColours[4][4] = {{255, 0, 0, 0}, {255, 220, 220, 100}, {255, 255, 255, 255}, {255, 0, 128, 255}};

std::string Text(const char* format, double a, double b = 0.0)
{
    char text[160];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

template <typename Sample>
void FillSignal(std::vector<Sample> (&in)[2], uint32_t frames, uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> level(-1.0, 1.0);
    for (auto& channel : in) {
        channel.resize(frames);
        for (auto& s : channel) s = static_cast<Sample>(level(random));
    }
    if (frames > 2) {
        // Values a careless copy would change: a denormal, a negative zero, a large one.
        in[0][0] = std::numeric_limits<Sample>::denorm_min();
        in[0][1] = static_cast<Sample>(-0.0);
        in[1][frames - 1] = static_cast<Sample>(1.0e30);
    }
}

// Blocks of every size up to 8192 frames pass bit for bit, 32 and 64 bits, in place or not.
template <typename Sample>
bool PassesBitExact(ClapInstanceUnderTest& plugin, uint32_t frames, bool inPlace, uint32_t seed)
{
    std::vector<Sample> in[2], out[2], expected[2];
    FillSignal(in, frames, seed);
    for (int c = 0; c < 2; ++c) {
        expected[c] = in[c];
        out[c].assign(frames + 1, static_cast<Sample>(7));  // one more: nothing is written past the end
    }
    if (plugin.ProcessStereo(in, out, frames, inPlace) != CLAP_PROCESS_CONTINUE) return false;
    for (int c = 0; c < 2; ++c) {
        const std::vector<Sample>& got = inPlace ? in[c] : out[c];
        if (frames > 0 && std::memcmp(got.data(), expected[c].data(), sizeof(Sample) * frames) != 0) return false;
        if (!inPlace && out[c][frames] != static_cast<Sample>(7)) return false;
    }
    return true;
}

ChunkBytes ChunkFor(const double (&values)[4])
{
    return ValueSectionBytes(values, kColours);
}

bool ValuesAre(const ClapInstanceUnderTest& plugin, const double (&values)[4])
{
    for (int i = 0; i < 4; ++i)
        if (plugin.Value(static_cast<clap_id>(i)) != values[i]) return false;
    return true;
}

std::string SentText(const std::vector<ClapSentEvent>& sent)
{
    std::string text;
    for (const ClapSentEvent& e : sent) {
        const char* kind = e.type == CLAP_EVENT_PARAM_GESTURE_BEGIN ? "begin"
                           : e.type == CLAP_EVENT_PARAM_GESTURE_END ? "end"
                           : e.type == CLAP_EVENT_PARAM_VALUE       ? "value"
                                                                    : "other";
        text += std::string(text.empty() ? "" : " ") + kind + "(" + std::to_string(e.param);
        if (e.type == CLAP_EVENT_PARAM_VALUE) text += Text("=%g", e.value);
        text += ")";
    }
    return text.empty() ? "nothing" : text;
}

}  // namespace

bool ReportClapProblems(ClapTestHost& host, Report& report, const char* during)
{
    const std::vector<std::string> problems = host.TakeProblems();
    for (const std::string& p : problems) report.Check(false, std::string(during) + ": " + p);
    return problems.empty();
}

void CheckClapEntry(const ClapLibrary& library, Report& report)
{
    if (!report.Check(library.Entry() && library.Factory(), "the library has clap_entry and a plug-in factory " +
                                                                library.Error()))
        return;
    const clap_plugin_entry_t* entry = library.Entry();
    report.Check(entry->clap_version.major == 1, "clap_entry speaks CLAP 1.x");
    report.Check(entry->get_factory("no.such.factory") == nullptr && entry->get_factory(nullptr) == nullptr,
                 "an unknown factory id gets null");
    const clap_plugin_factory_t* factory = library.Factory();
    report.Check(factory->get_plugin_count(factory) == 1, "the factory holds one plug-in");
    report.Check(factory->get_plugin_descriptor(factory, 1) == nullptr, "descriptor 1 does not exist");
    const clap_plugin_descriptor_t* d = factory->get_plugin_descriptor(factory, 0);
    if (!report.Check(d != nullptr, "descriptor 0 exists")) return;
    auto same = [](const char* a, const char* b) { return a && b && std::strcmp(a, b) == 0; };
    report.Check(same(d->id, "com.veksa.quillograph"),
                 std::string("its id is com.veksa.quillograph: ") + (d->id ? d->id : "null"));
    report.Check(same(d->name, "Quillograph") && same(d->vendor, "Veksa"), "it is Quillograph by Veksa");
    report.Check(same(d->version, "1.0.0"), std::string("its version is 1.0.0: ") + (d->version ? d->version : "null"));
    report.Check(d->description && *d->description && d->url && d->manual_url && d->support_url,
                 "it has a description, and no null texts");
    bool effect = false, analyzer = false, stereo = false;
    int features = 0;
    for (const char* const* f = d->features; f && *f; ++f, ++features) {
        effect = effect || same(*f, "audio-effect");
        analyzer = analyzer || same(*f, "analyzer");
        stereo = stereo || same(*f, "stereo");
    }
    report.Check(effect && analyzer && stereo && features == 3, "its features are audio-effect, analyzer, stereo");

    ClapTestHost host;
    report.Check(factory->create_plugin(factory, host.Record(), "com.veksa.other") == nullptr,
                 "an unknown plug-in id makes nothing");
    report.Check(factory->create_plugin(factory, nullptr, d->id) == nullptr, "no host makes nothing");
    clap_host_t old = *host.Record();
    old.clap_version = {0, 9, 0};
    report.Check(factory->create_plugin(factory, &old, d->id) == nullptr, "a CLAP 0.x host makes nothing");

    // Made and destroyed without init, as a host that gives up at once does.
    const clap_plugin_t* bare = factory->create_plugin(factory, host.Record(), d->id);
    if (report.Check(bare != nullptr, "the plug-in is made")) {
        report.Check(bare->desc == d, "the instance carries the factory's descriptor");
        bare->destroy(bare);
    }
    ClapInstanceUnderTest plugin(library, host);
    report.Check(plugin.Made(), "the plug-in initialises");
    const auto* latency = plugin.Ext<clap_plugin_latency_t>(CLAP_EXT_LATENCY);
    report.Check(latency && latency->get(plugin.Plugin()) == 0, "its latency is 0");
    report.Check(plugin.Plugin()->get_extension(plugin.Plugin(), "clap.no-such-extension") == nullptr,
                 "an unknown extension gets null");
    const auto* ports = plugin.Ext<clap_plugin_audio_ports_t>(CLAP_EXT_AUDIO_PORTS);
    if (report.Check(ports != nullptr, "it has audio ports")) {
        for (bool input : {true, false}) {
            clap_audio_port_info_t info;
            std::memset(&info, 0xCC, sizeof info);
            const char* side = input ? "input" : "output";
            report.Check(ports->count(plugin.Plugin(), input) == 1, std::string("one ") + side + " port");
            const bool got = ports->get(plugin.Plugin(), 0, input, &info);
            report.Check(got && info.id == 0 && info.channel_count == 2 && same(info.port_type, CLAP_PORT_STEREO) &&
                             (info.flags & CLAP_AUDIO_PORT_IS_MAIN) && (info.flags & CLAP_AUDIO_PORT_SUPPORTS_64BITS) &&
                             info.in_place_pair == 0 && std::memchr(info.name, 0, sizeof info.name),
                         std::string("the ") + side + " is the main stereo port, 64-bit capable, paired in place");
            report.Check(!ports->get(plugin.Plugin(), 1, input, &info), std::string("no second ") + side + " port");
        }
    }
    ReportClapProblems(host, report, "entry and descriptor");
}

void CheckClapAudio(const ClapLibrary& library, Report& report)
{
    ClapTestHost host;
    ClapInstanceUnderTest plugin(library, host);
    if (!report.Check(plugin.Made(), "the plug-in initialises for audio")) return;
    const double rates[] = {44100.0, 48000.0, 22050.0, 96000.0, 192000.0, 8000.0};
    const uint32_t maxima[] = {512, 8192, 64, 4096, 8192, 1};
    const uint32_t sizes[] = {0, 1, 2, 17, 63, 64, 511, 512, 1000, 4095, 4096, 8191, 8192};
    uint32_t seed = 1;
    for (size_t r = 0; r < sizeof rates / sizeof rates[0]; ++r) {
        const bool activated = plugin.Activate(rates[r], 1, maxima[r]);
        report.Check(activated, Text("activates at %g Hz, blocks up to %g frames", rates[r], maxima[r]));
        if (!activated) continue;
        bool exact32 = true, exact64 = true;
        for (uint32_t frames : sizes) {
            if (frames > maxima[r]) continue;
            for (bool inPlace : {false, true}) {
                exact32 = PassesBitExact<float>(plugin, frames, inPlace, ++seed) && exact32;
                exact64 = PassesBitExact<double>(plugin, frames, inPlace, ++seed) && exact64;
            }
        }
        report.Check(exact32, Text("at %g Hz 32-bit blocks of 0 to %g frames pass bit for bit, in place or not",
                                   rates[r], maxima[r]));
        report.Check(exact64, Text("at %g Hz 64-bit blocks of 0 to %g frames pass bit for bit, in place or not",
                                   rates[r], maxima[r]));
        plugin.Deactivate();
    }
    ReportClapProblems(host, report, "audio");
}

void CheckClapBadInput(const ClapLibrary& library, Report& report)
{
    ClapTestHost host;
    ClapInstanceUnderTest plugin(library, host);
    if (!report.Check(plugin.Made(), "the plug-in initialises for bad input")) return;
    const clap_plugin_t* p = plugin.Plugin();

    std::vector<float> in[2], out[2];
    FillSignal(in, 256, 5);
    out[0].assign(256, 3.0f);
    out[1].assign(256, 3.0f);
    // process before activate: an error, and the outputs are left alone.
    float* ins[2] = {in[0].data(), in[1].data()};
    float* outs[2] = {out[0].data(), out[1].data()};
    ClapEventList events;
    ClapOutputList sent;
    ClapStereoBlock block(ins, outs, 256, events.List(), sent.List());
    clap_process_status status = CLAP_PROCESS_CONTINUE;
    host.OnAudio([&] { status = p->process(p, &block.process); });
    report.Check(status == CLAP_PROCESS_ERROR && out[0][0] == 3.0f && out[1][255] == 3.0f,
                 "process before activate is an error and writes nothing");
    host.OnAudio([&] { status = p->process(p, nullptr); });
    report.Check(status == CLAP_PROCESS_ERROR, "process without a block is an error");

    report.Check(plugin.Activate(48000.0, 1, 1024), "activates");
    host.logged.clear();
    report.Check(!p->activate(p, 44100.0, 1, 512), "a second activate is refused");
    host.TakeProblems();  // the plug-in rightly reported the host
    report.Check(!host.logged.empty(), "and the plug-in says so in the host's log");
    report.Check(PassesBitExact<float>(plugin, 512, false, 9), "audio still passes after the second activate");

    // Odd buffers: none at all, null channel arrays, one channel, three channels.
    clap_process_t bare = block.process;
    bare.audio_inputs = nullptr;
    bare.audio_outputs = nullptr;
    bare.audio_inputs_count = bare.audio_outputs_count = 0;
    report.Check(plugin.Process(bare) == CLAP_PROCESS_CONTINUE, "a block without ports passes");
    clap_audio_buffer_t nullInput = {}, nullOutput = {};
    nullInput.channel_count = nullOutput.channel_count = 2;
    clap_process_t nulls = block.process;
    nulls.audio_inputs = &nullInput;
    nulls.audio_outputs = &nullOutput;
    report.Check(plugin.Process(nulls) == CLAP_PROCESS_CONTINUE, "a block whose ports hold no channels passes");
    clap_process_t silent = block.process;
    silent.audio_inputs = &nullInput;
    out[0].assign(256, 3.0f);
    out[1].assign(256, 3.0f);
    plugin.Process(silent);
    report.Check(out[0][0] == 0.0f && out[1][255] == 0.0f, "no input gives silence");

    std::vector<float> third(256, 5.0f), thirdOut(256, 6.0f);
    float* ins3[3] = {in[0].data(), in[1].data(), third.data()};
    float* outs3[3] = {out[0].data(), out[1].data(), thirdOut.data()};
    clap_audio_buffer_t input3 = block.input, output3 = block.output;
    input3.data32 = ins3;
    output3.data32 = outs3;
    input3.channel_count = output3.channel_count = 3;
    clap_process_t wide = block.process;
    wide.audio_inputs = &input3;
    wide.audio_outputs = &output3;
    report.Check(plugin.Process(wide) == CLAP_PROCESS_CONTINUE && out[0] == in[0] && out[1] == in[1] &&
                     thirdOut[0] == 6.0f,
                 "three channels: the first two pass, the third is left alone");
    clap_audio_buffer_t input1 = block.input, output1 = block.output;
    input1.channel_count = output1.channel_count = 1;
    clap_process_t narrow = block.process;
    narrow.audio_inputs = &input1;
    narrow.audio_outputs = &output1;
    out[0].assign(256, 3.0f);
    out[1].assign(256, 3.0f);
    report.Check(plugin.Process(narrow) == CLAP_PROCESS_CONTINUE && out[0] == in[0] && out[1][0] == 3.0f,
                 "one channel passes and nothing is written beyond it");

    // Mixed sample sizes: a 64-bit input to a 32-bit output and the reverse.
    std::vector<double> wideIn[2] = {std::vector<double>(in[0].begin(), in[0].end()),
                                     std::vector<double>(in[1].begin(), in[1].end())};
    std::vector<double> wideOut[2] = {std::vector<double>(256, 3.0), std::vector<double>(256, 3.0)};
    double* wideIns[2] = {wideIn[0].data(), wideIn[1].data()};
    double* wideOuts[2] = {wideOut[0].data(), wideOut[1].data()};
    clap_audio_buffer_t in64 = {}, out64 = {};
    in64.data64 = wideIns;
    out64.data64 = wideOuts;
    in64.channel_count = out64.channel_count = 2;
    clap_process_t mixed = block.process;
    mixed.audio_inputs = &in64;
    out[0].assign(256, 3.0f);
    plugin.Process(mixed);
    report.Check(out[0] == in[0], "a 64-bit input reaches a 32-bit output");
    mixed.audio_inputs = &block.input;
    mixed.audio_outputs = &out64;
    plugin.Process(mixed);
    report.Check(wideOut[1] == wideIn[1], "a 32-bit input reaches a 64-bit output");

    // Events a host may send that are not for us, or broken: stepped over.
    const double before[4] = {1, 1, 0, 0};
    ClapEventList odd;
    odd.AddRaw(CLAP_CORE_EVENT_SPACE_ID, 99, 24);
    odd.AddRaw(CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_NOTE_ON, sizeof(clap_event_param_value_t));
    odd.AddRaw(3, CLAP_EVENT_PARAM_VALUE, sizeof(clap_event_param_value_t));
    odd.AddRaw(CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 16);
    odd.AddRaw(CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_MIDI_SYSEX, 40);
    odd.AddNull();
    odd.AddParamValue(4, 1.0);
    odd.AddParamValue(CLAP_INVALID_ID, 1.0);
    odd.AddParamValue(0, std::numeric_limits<double>::quiet_NaN());
    odd.AddParamValue(1, std::numeric_limits<double>::infinity());
    clap_process_t withOdd = block.process;
    withOdd.in_events = odd.List();
    report.Check(plugin.Process(withOdd) == CLAP_PROCESS_CONTINUE && ValuesAre(plugin, before),
                 "unknown, foreign, short and null events and values for no parameter change nothing");
    clap_process_t noEvents = block.process;
    noEvents.in_events = nullptr;
    noEvents.out_events = nullptr;
    report.Check(plugin.Process(noEvents) == CLAP_PROCESS_CONTINUE, "a block without event lists passes");

    // Deactivated twice, and destroyed while active.
    {
        ClapTestHost careless;
        ClapInstanceUnderTest other(library, careless);
        const clap_plugin_t* q = other.Plugin();
        const bool activated = q && q->activate(q, 48000.0, 1, 256);
        if (activated) {
            q->deactivate(q);
            q->deactivate(q);
        }
        report.Check(activated && q->activate(q, 44100.0, 1, 256), "deactivated twice, it activates again");
        other.Destroy(false);
        ReportClapProblems(careless, report, "a careless host");
    }
    ReportClapProblems(host, report, "bad input");
}

void CheckClapParams(const ClapLibrary& library, Report& report)
{
    ClapTestHost host;
    ClapInstanceUnderTest plugin(library, host);
    if (!report.Check(plugin.Made(), "the plug-in initialises for parameters")) return;
    const clap_plugin_t* p = plugin.Plugin();
    const auto* params = plugin.Ext<clap_plugin_params_t>(CLAP_EXT_PARAMS);
    if (!report.Check(params != nullptr, "it has parameters")) return;
    report.Check(params->count(p) == 4, "four parameters");
    for (uint32_t i = 0; i < 4; ++i) {
        clap_param_info_t info;
        std::memset(&info, 0xCC, sizeof info);
        const bool got = params->get_info(p, i, &info);
        const bool stepped = i != 1;
        const bool listed = i == 0 || i == 2;
        report.Check(got && info.id == i && std::strcmp(info.name, kNames[i]) == 0 && info.module[0] == '\0' &&
                         info.min_value == kMin[i] && info.max_value == kMax[i] && info.default_value == kDefault[i] &&
                         !!(info.flags & CLAP_PARAM_IS_STEPPED) == stepped &&
                         !!(info.flags & CLAP_PARAM_IS_ENUM) == listed && (info.flags & CLAP_PARAM_IS_AUTOMATABLE),
                     std::string("parameter ") + kNames[i] + ": range, default and steps as the VST build's");
    }
    clap_param_info_t info;
    report.Check(!params->get_info(p, 4, &info) && !params->get_info(p, 0, nullptr), "no fifth parameter");
    double value = 0;
    report.Check(!params->get_value(p, 4, &value) && !params->get_value(p, 0, nullptr), "no value of no parameter");

    // Texts both ways.
    char text[64];
    bool names = true;
    for (int i = 0; i < 4; ++i)
        names = params->value_to_text(p, 0, i, text, sizeof text) && std::strcmp(text, kDomains[i]) == 0 && names;
    for (int i = 0; i < 7; ++i)
        names = params->value_to_text(p, 2, i, text, sizeof text) && std::strcmp(text, kBands[i]) == 0 && names;
    names = params->value_to_text(p, 3, 0, text, sizeof text) && std::strcmp(text, "off") == 0 && names;
    names = params->value_to_text(p, 3, 1, text, sizeof text) && std::strcmp(text, "on") == 0 && names;
    names = params->value_to_text(p, 0, 2.4, text, sizeof text) && std::strcmp(text, "phase") == 0 && names;
    report.Check(names, "list values show the VST build's names");
    report.Check(params->value_to_text(p, 1, 1.0, text, sizeof text) && std::strcmp(text, "1.00 x") == 0,
                 std::string("v scale 1 shows as 1.00 x: ") + text);
    report.Check(params->value_to_text(p, 1, 30.0, text, sizeof text) && std::strcmp(text, "20.00 x") == 0,
                 "a v scale beyond the range shows the range's end");
    char tiny[4] = {'a', 'b', 'c', 'd'};
    report.Check(params->value_to_text(p, 1, 12.5, tiny, 3) && tiny[2] == '\0' && tiny[3] == 'd',
                 "a short buffer gets a terminated beginning and nothing past it");
    report.Check(!params->value_to_text(p, 1, std::nan(""), text, sizeof text) &&
                     !params->value_to_text(p, 1, 1.0, text, 0) && !params->value_to_text(p, 9, 1.0, text, sizeof text),
                 "NaN, no room and no parameter give no text");
    bool roundTrip = true;
    std::string firstMiss;
    for (uint32_t id = 0; id < 4; ++id) {
        const double step = id == 1 ? 0.01 : 1.0;
        for (double v = kMin[id]; v <= kMax[id] + 1e-9; v += step) {
            double back = -1;
            const bool ok = params->value_to_text(p, id, v, text, sizeof text) &&
                            params->text_to_value(p, id, text, &back) && std::fabs(back - v) < 0.005;
            if (!ok && firstMiss.empty()) firstMiss = std::string(kNames[id]) + " " + text;
            roundTrip = roundTrip && ok;
        }
    }
    report.Check(roundTrip, "every shown text reads back as its value " + firstMiss);
    double read = -1;
    report.Check(params->text_to_value(p, 0, " spectro ", &read) && read == 3, "blanks around a name are ignored");
    report.Check(params->text_to_value(p, 0, "2", &read) && read == 2, "a list parameter takes its number");
    report.Check(params->text_to_value(p, 1, "2.5", &read) && read == 2.5, "v scale takes a bare number");
    report.Check(params->text_to_value(p, 1, "99", &read) && read == 20, "a number beyond the range is clamped");
    report.Check(!params->text_to_value(p, 1, "loud", &read) && !params->text_to_value(p, 0, "", &read) &&
                     !params->text_to_value(p, 0, "frequency", &read) && !params->text_to_value(p, 0, nullptr, &read) &&
                     !params->text_to_value(p, 7, "1", &read),
                 "texts that are no value are refused");

    // Values from the host: a flush without activation, then events in blocks.
    ClapEventList events;
    ClapOutputList sent;
    events.AddParamValue(0, 2.0);
    events.AddParamValue(1, 3.5);
    events.AddParamValue(2, 5.6);
    events.AddParamValue(3, 0.7);
    plugin.Flush(events, sent);
    const double flushed[4] = {2, 3.5, 6, 1};
    report.Check(ValuesAre(plugin, flushed), "a flush without activation sets the values, snapped to their steps");
    report.Check(sent.sent.empty(), "and sends nothing back");
    events.Clear();
    events.AddParamValue(0, -5.0);
    events.AddParamValue(1, 0.0);
    events.AddParamValue(1, 100.0);
    events.AddParamValue(2, 1.0, 100);
    plugin.Flush(events, sent);
    const double clamped[4] = {0, 20, 1, 1};
    report.Check(ValuesAre(plugin, clamped), "values beyond a range are clamped; the last of several wins");

    if (report.Check(plugin.Activate(44100.0, 32, 512), "activates for events in blocks")) {
        std::vector<float> in[2], out[2];
        FillSignal(in, 512, 3);
        out[0].resize(512);
        out[1].resize(512);
        events.Clear();
        events.AddParamValue(0, 3.0, 0);
        events.AddParamValue(3, 0.0, 511);
        plugin.ProcessStereo(in, out, 512, false, &events);
        const double blocked[4] = {3, 20, 1, 0};
        report.Check(ValuesAre(plugin, blocked), "events in a block set the values");
        events.Clear();
        events.AddParamValue(1, 4.0);
        plugin.Flush(events, sent);
        const double active[4] = {3, 4, 1, 0};
        report.Check(ValuesAre(plugin, active), "a flush while active (on the audio thread) sets them too");
    }
    ReportClapProblems(host, report, "parameters");
}

void CheckClapState(const ClapLibrary& library, Report& report)
{
    ClapTestHost host;
    ClapInstanceUnderTest plugin(library, host);
    if (!report.Check(plugin.Made(), "the plug-in initialises for state")) return;
    const std::vector<uint8_t> fresh = plugin.Save();
    report.Check(fresh.size() == static_cast<size_t>(kExpectedStateChunkSize) &&
                     std::memcmp(fresh.data(), kExpectedStateChunk, kExpectedStateChunkSize) == 0,
                 "a fresh instance saves the VST build's fresh chunk");
    ClapEventList events;
    ClapOutputList sent;
    const double set[4] = {2, 3.5, 4, 1};
    for (uint32_t i = 0; i < 4; ++i) events.AddParamValue(i, set[i]);
    plugin.Flush(events, sent);
    report.Check(plugin.Save() == ChunkFor(set), "changed values save as the VST build's chunk of them");
    {
        ClapMemoryOut trickle;
        trickle.piece = 1;
        const auto* state = plugin.Ext<clap_plugin_state_t>(CLAP_EXT_STATE);
        report.Check(state->save(plugin.Plugin(), trickle.Stream()) && trickle.bytes == ChunkFor(set),
                     "a stream that takes a byte at a time gets all of it");
    }

    // A chunk the VST build saved loads here, and saves back byte for byte.
    ClapTestHost otherHost;
    ClapInstanceUnderTest other(library, otherHost);
    const double vst[4] = {3, 0.25, 5, 0};
    ClapMemoryIn whole(ChunkFor(vst));
    report.Check(other.Load(whole) && ValuesAre(other, vst), "a VST chunk loads with its values");
    report.Check(otherHost.rescans.load() == 1, "and the host is told to read the values again");
    report.Check(other.Save() == ChunkFor(vst), "and saves back as the same bytes");
    ClapMemoryIn bytewise(ChunkFor(set));
    bytewise.piece = 1;
    report.Check(other.Load(bytewise) && ValuesAre(other, set), "a stream that gives a byte at a time loads");
    ClapMemoryIn scaled([&] {
        ChunkBytes b = ChunkFor(vst);
        const ChunkBytes tail = ScaleTailBytes({2});
        b.insert(b.end(), tail.begin(), tail.end());
        return b;
    }());
    report.Check(other.Load(scaled) && ValuesAre(other, vst) && other.Save().size() > fresh.size(),
                 "a chunk with the editor's scale loads and keeps it");

    // Broken streams change nothing and are refused.
    auto refused = [&](ClapMemoryIn& stream, const char* what) {
        const std::vector<uint8_t> before = other.Save();
        const bool loaded = other.Load(stream);
        report.Check(!loaded && other.Save() == before, std::string(what) + " is refused and changes nothing");
    };
    ClapMemoryIn failing(ChunkFor(set));
    failing.piece = 16;
    failing.failAt = 48;
    refused(failing, "a stream that fails half-way");
    ClapMemoryIn early(ChunkFor(set));
    early.piece = 40;
    early.zeroReadsBeforeEnd = 1;
    refused(early, "a stream that ends early");
    ClapMemoryIn empty(std::vector<uint8_t>{});
    refused(empty, "an empty stream");
    ClapMemoryIn lying(ChunkFor(set));
    lying.overclaim = true;
    refused(lying, "a stream that claims more bytes than it was asked for");
    ClapMemoryIn huge(ChunkFor(set));
    huge.endless = true;
    refused(huge, "a stream that never ends");
    report.Check(huge.reads < 20000, "and it is given up after 16 MiB");
    ChunkBytes cut = ChunkFor(set);
    cut.resize(cut.size() - 1);
    ClapMemoryIn shortChunk(cut);
    refused(shortChunk, "a chunk a byte short");
    const auto* state = other.Ext<clap_plugin_state_t>(CLAP_EXT_STATE);
    report.Check(!state->load(other.Plugin(), nullptr) && !state->save(other.Plugin(), nullptr),
                 "no stream is refused");
    clap_ostream_t broken = {nullptr, [](const clap_ostream_t*, const void*, uint64_t) -> int64_t { return -1; }};
    clap_ostream_t stuck = {nullptr, [](const clap_ostream_t*, const void*, uint64_t) -> int64_t { return 0; }};
    report.Check(!state->save(other.Plugin(), &broken) && !state->save(other.Plugin(), &stuck),
                 "a stream that fails or takes nothing makes save fail");
    ReportClapProblems(host, report, "state");
    ReportClapProblems(otherHost, report, "state loads");
}

void RunClapTimers(ClapInstanceUnderTest& instance, const ClapWindowHooks& hooks, int ms)
{
    const auto* timer = instance.Ext<clap_plugin_timer_support_t>(CLAP_EXT_TIMER_SUPPORT);
    const auto* watch = instance.Ext<clap_plugin_posix_fd_support_t>(CLAP_EXT_POSIX_FD_SUPPORT);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        if (timer)
            for (const auto& t : std::map<clap_id, uint32_t>(instance.host.timers))
                timer->on_timer(instance.Plugin(), t.first);
#if !defined(_WIN32)
        // As a host's main loop watches them: called while the condition holds.
        for (const auto& f : std::map<int, clap_posix_fd_flags_t>(instance.host.fds)) {
            pollfd p = {f.first, static_cast<short>((f.second & CLAP_POSIX_FD_READ) ? POLLIN : 0), 0};
            if (watch && poll(&p, 1, 0) == 1 && (p.revents & POLLIN))
                watch->on_fd(instance.Plugin(), f.first, CLAP_POSIX_FD_READ);
        }
#else
        (void)watch;
#endif
        if (hooks.serve) hooks.serve(15);
        else std::this_thread::sleep_for(std::chrono::milliseconds(15));
    } while (std::chrono::steady_clock::now() < end);
}

void CheckClapEditor(const ClapLibrary& library, const ClapWindowHooks& hooks, Report& report)
{
    ClapTestHost host;
    ClapInstanceUnderTest plugin(library, host);
    if (!report.Check(plugin.Made(), "the plug-in initialises for the editor")) return;
    const clap_plugin_t* p = plugin.Plugin();
    const auto* gui = plugin.Ext<clap_plugin_gui_t>(CLAP_EXT_GUI);
    if (!report.Check(gui != nullptr, "it has an editor")) return;
    const char* other = std::strcmp(hooks.api, CLAP_WINDOW_API_X11) == 0 ? CLAP_WINDOW_API_WIN32 : CLAP_WINDOW_API_X11;
    report.Check(gui->is_api_supported(p, hooks.api, false) && !gui->is_api_supported(p, hooks.api, true) &&
                     !gui->is_api_supported(p, other, false) && !gui->is_api_supported(p, nullptr, false),
                 std::string("it embeds in ") + hooks.api + " windows only");
    const char* preferred = nullptr;
    bool floating = true;
    report.Check(gui->get_preferred_api(p, &preferred, &floating) && preferred &&
                     std::strcmp(preferred, hooks.api) == 0 && !floating,
                 "and prefers that");
    report.Check(!gui->create(p, other, false) && !gui->create(p, hooks.api, true), "other windows are refused");
    if (!report.Check(gui->create(p, hooks.api, false), "the editor is made")) return;
    report.Check(!gui->create(p, hooks.api, false), "a second editor is refused");
    if (hooks.needsTimer) report.Check(host.timers.size() == 1, "it asks the host for a timer");
    gui->set_scale(p, 1.0);
    uint32_t w = 0, h = 0;
    report.Check(gui->get_size(p, &w, &h) && w == 232 && h == 96, Text("its size is 232 x 96: %g x %g", w, h));
    report.Check(!gui->can_resize(p), "the host does not resize it (its scale is the editor's choice)");
    uint32_t aw = 500, ah = 500;
    report.Check(gui->adjust_size(p, &aw, &ah) && aw == 232 && ah == 96, "any size adjusts to its own");
    report.Check(gui->set_size(p, 232, 96) && !gui->set_size(p, 300, 200), "its own size is taken, another not");

    const clap_window_t parent = hooks.makeParent();
    clap_window_t wrong = parent;
    wrong.api = other;
    report.Check(!gui->set_parent(p, &wrong) && !gui->set_parent(p, nullptr), "a parent of another kind is refused");
    const bool parented = gui->set_parent(p, &parent);
    report.Check(parented && gui->show(p), "it opens in the host's window and shows");
    const uintptr_t editor = hooks.childOf(parent);
    report.Check(editor != 0, "the editor's window is a child of the host's");
    gui->suggest_title(p, "Quillograph on track 1");
    if (!parented || !editor) {
        gui->destroy(p);
        hooks.destroyParent(parent);
        return;
    }
    RunClapTimers(plugin, hooks, 150);

    // A click toggles pause: one gesture, sent at the next flush the plug-in asks for.
    ClapEventList none;
    ClapOutputList sent;
    host.flushRequests = 0;
    hooks.click(editor, 100, 50, false);
    RunClapTimers(plugin, hooks, 100);
    report.Check(host.flushRequests.load() > 0, "an edit asks the host for a flush");
    plugin.Flush(none, sent);
    report.Check(SentText(sent.sent) == "begin(3) value(3=1) end(3)",
                 "a click is sent as one gesture: " + SentText(sent.sent));
    report.Check(plugin.Value(3) == 1.0, "and pause is on");

    // A shift drag changes the v scale in one gesture, however many moves it has.
    sent.sent.clear();
    hooks.drag(editor, 100, 60, -30, true);
    RunClapTimers(plugin, hooks, 100);
    plugin.Flush(none, sent);
    int begins = 0, ends = 0, values = 0;
    for (const ClapSentEvent& e : sent.sent) {
        begins += e.type == CLAP_EVENT_PARAM_GESTURE_BEGIN;
        ends += e.type == CLAP_EVENT_PARAM_GESTURE_END;
        values += e.type == CLAP_EVENT_PARAM_VALUE && e.param == 1;
    }
    report.Check(begins == 1 && ends == 1 && values >= 2 && sent.sent.front().type == CLAP_EVENT_PARAM_GESTURE_BEGIN &&
                     sent.sent.back().type == CLAP_EVENT_PARAM_GESTURE_END,
                 "a drag is one gesture of several values: " + SentText(sent.sent));
    report.Check(plugin.Value(1) > 1.0, Text("and the v scale grew: %g", plugin.Value(1)));

    // While active, edits go out with the next block; a host that takes few gets the rest later.
    if (report.Check(plugin.Activate(48000.0, 1, 256), "activates with the editor open")) {
        hooks.click(editor, 100, 50, false);
        RunClapTimers(plugin, hooks, 100);
        std::vector<float> in[2], out[2];
        FillSignal(in, 256, 8);
        out[0].resize(256);
        out[1].resize(256);
        ClapOutputList narrow;
        narrow.room = 1;
        plugin.ProcessStereo(in, out, 256, false, nullptr, &narrow);
        ClapOutputList rest;
        plugin.ProcessStereo(in, out, 256, false, nullptr, &rest);
        report.Check(SentText(narrow.sent) + " " + SentText(rest.sent) == "begin(3) value(3=0) end(3)",
                     "edits go out with the blocks, none lost when the host takes few: " + SentText(narrow.sent) +
                         " / " + SentText(rest.sent));
        plugin.Deactivate();
    }

    // Ctrl + click in the corner square steps the scale: automatic (1 here), 1, then 2, which
    // asks the host for room at twice the size.
    hooks.click(editor, 224, 88, true);
    RunClapTimers(plugin, hooks, 100);
    hooks.click(editor, 224, 88, true);
    RunClapTimers(plugin, hooks, 150);
    report.Check(host.resizeWidth == 464 && host.resizeHeight == 192,
                 Text("the next scale asks the host for 464 x 192: %g x %g", host.resizeWidth, host.resizeHeight));
    report.Check(gui->get_size(p, &w, &h) && w == 464 && h == 192, "and the editor's size follows");
    const std::vector<uint8_t> scaled = plugin.Save();
    report.Check(scaled.size() > static_cast<size_t>(kExpectedStateChunkSize), "the scale is kept in the state");

    report.Check(gui->hide(p) && gui->show(p), "hidden and shown again");
    gui->destroy(p);
    report.Check(hooks.childOf(parent) == 0, "destroyed, the editor's window is gone");
    if (hooks.needsTimer) report.Check(host.timers.empty(), "and its timer given back");
    // Made again in a new parent after the old one went.
    hooks.destroyParent(parent);
    const clap_window_t again = hooks.makeParent();
    report.Check(gui->create(p, hooks.api, false) && gui->set_parent(p, &again) && hooks.childOf(again) != 0,
                 "made again in a new host window");
    RunClapTimers(plugin, hooks, 60);
    // The host destroys the instance with the editor still made: the instance cleans up.
    plugin.Destroy(false);
    report.Check(hooks.childOf(again) == 0 && (!hooks.needsTimer || host.timers.empty()),
                 "an instance destroyed with its editor made takes the window and the timer with it");
    hooks.destroyParent(again);
    ReportClapProblems(host, report, "editor");
}
