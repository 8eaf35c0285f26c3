// The params extension: the plug-in's parameters with their plain ranges, texts both ways in
// every locale, and the host's values arriving as events in a block or a flush.
#include <cmath>
#include <cstring>
#include <string>

#include "formats/clap/ClapInstance.h"
#include "plugin/LeadingNumber.h"
#include "plugin/PluginCore.h"

namespace {

// The parameter behind a host's id (ids are the parameters' indices), or null.
const Param* ParamOf(const ClapInstance* instance, clap_id id)
{
    if (!instance || !instance->core || id >= static_cast<clap_id>(instance->core->ParamCount()) ||
        id >= static_cast<clap_id>(ClapHost::kMaxParams))
        return nullptr;
    return &instance->core->ParamAt(static_cast<int>(id));
}

void CopyText(char* out, size_t capacity, const std::string& text)
{
    const size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

std::string Trimmed(const char* text)
{
    const char* begin = text;
    while (*begin && Blank(*begin)) ++begin;
    const char* end = begin + std::strlen(begin);
    while (end > begin && Blank(end[-1])) --end;
    return std::string(begin, end);
}

// Whether a text begins with a number (after blanks and a sign), as a typed value must.
bool StartsWithNumber(const std::string& text)
{
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (i < text.size() && text[i] == '.') ++i;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

uint32_t Count(const clap_plugin_t* plugin)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    if (!instance || !instance->core) return 0;
    instance->host.OnMainThread("params.count");
    const int count = instance->core->ParamCount();
    return static_cast<uint32_t>(count < ClapHost::kMaxParams ? count : ClapHost::kMaxParams);
}

bool GetInfo(const clap_plugin_t* plugin, uint32_t index, clap_param_info_t* info)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    const Param* param = ParamOf(instance, index);
    if (!param || !info) return false;
    instance->host.OnMainThread("params.get_info");
    std::memset(info, 0, sizeof *info);
    info->id = index;
    info->flags = CLAP_PARAM_IS_AUTOMATABLE;
    if (param->Kind() != ParamKind::Double) info->flags |= CLAP_PARAM_IS_STEPPED;
    if (param->Kind() == ParamKind::Enum) info->flags |= CLAP_PARAM_IS_ENUM;
    info->cookie = nullptr;
    CopyText(info->name, sizeof info->name, param->Name());
    info->module[0] = '\0';
    info->min_value = param->Min();
    info->max_value = param->Max();
    info->default_value = instance->defaults[index];
    return true;
}

bool GetValue(const clap_plugin_t* plugin, clap_id id, double* value)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    const Param* param = ParamOf(instance, id);
    if (!param || !value) return false;
    instance->host.OnMainThread("params.get_value");
    *value = param->Value();
    return true;
}

// The display text, and the unit where the parameter has one: "1.00 x".
bool ValueToText(const clap_plugin_t* plugin, clap_id id, double value, char* out, uint32_t capacity)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    const Param* param = ParamOf(instance, id);
    if (!param || !out || capacity == 0 || !std::isfinite(value)) return false;
    instance->host.OnMainThread("params.value_to_text");
    std::string text = param->DisplayStringOf(param->Snapped(value));
    if (!param->Label().empty()) text += " " + param->Label();
    CopyText(out, capacity, text);
    return true;
}

// Takes what ValueToText writes (the unit is optional), a list parameter's number as well.
bool TextToValue(const clap_plugin_t* plugin, clap_id id, const char* text, double* value)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    const Param* param = ParamOf(instance, id);
    if (!param || !text || !value) return false;
    instance->host.OnMainThread("params.text_to_value");
    const std::string typed = Trimmed(text);
    if (param->Kind() == ParamKind::Bool || param->Kind() == ParamKind::Enum) {
        const int32_t named = param->ValueForDisplayText(typed);
        if (named >= 0) {
            *value = named;
            return true;
        }
    }
    if (!StartsWithNumber(typed)) return false;
    const double number = LeadingNumber(typed.c_str());
    if (!std::isfinite(number)) return false;
    *value = param->Snapped(number);
    return true;
}

void Flush(const clap_plugin_t* plugin, const clap_input_events_t* in, const clap_output_events_t* out)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    if (!instance || !instance->core) return;
    if (instance->active.load())
        instance->host.OnAudioThread("params.flush");
    else
        instance->host.OnMainThread("params.flush");
    ApplyParamEvents(*instance, in);
    instance->host.SendEdits(out);
}

}  // namespace

void ApplyParamEvents(ClapInstance& instance, const clap_input_events_t* events)
{
    if (!events || !events->size || !events->get || !instance.core) return;
    const uint32_t count = events->size(events);
    for (uint32_t i = 0; i < count; ++i) {
        const clap_event_header_t* header = events->get(events, i);
        if (!header || header->space_id != CLAP_CORE_EVENT_SPACE_ID || header->type != CLAP_EVENT_PARAM_VALUE ||
            header->size < sizeof(clap_event_param_value_t))
            continue;
        const auto* event = reinterpret_cast<const clap_event_param_value_t*>(header);
        const Param* param = ParamOf(&instance, event->param_id);
        if (!param) continue;
        // Snapped to the steps the parameter has; NaN and infinities are no values.
        const double plain = param->Snapped(event->value);
        if (std::isfinite(event->value)) instance.core->SetPlainFromHost(static_cast<int>(event->param_id), plain);
    }
}

const clap_plugin_params_t kClapParams = {Count, GetInfo, GetValue, ValueToText, TextToValue, Flush};
