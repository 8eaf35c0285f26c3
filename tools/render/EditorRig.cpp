#include "tools/render/EditorRig.h"

#include <algorithm>
#include <cstring>

#include "analyser/AnalyserPlugin.h"
#include "graphics/Graphics.h"
#include "graphics/native/HeadlessWindow.h"
#include "plugin/VstShell.h"

namespace {

VstIntPtr VSTCALLBACK Host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterGetVendorString:
        if (ptr) std::strcpy(static_cast<char*>(ptr), "Veksa");
        return 1;
    case audioMasterGetProductString:
        if (ptr) std::strcpy(static_cast<char*>(ptr), "quillograph-render");
        return 1;
    case audioMasterGetVendorVersion:
        return 1000;
    default:
        return 0;
    }
}

}  // namespace

std::unique_ptr<EditorRig> EditorRig::Make(double sampleRate, int blockSize)
{
    AEffect* effect = VSTPluginMain(Host);
    if (!effect) return nullptr;
    std::unique_ptr<EditorRig> rig(new EditorRig(effect, std::max(blockSize, 1)));
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    effect->dispatcher(effect, effSetBlockSize, 0, rig->blockSize, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    if (!rig->plugin || !rig->plugin->View() || !effect->dispatcher(effect, effEditOpen, 0, 0, &rig->parent, 0.0f))
        return nullptr;
    rig->window = HeadlessWindow::Of(rig->plugin->GetGraphics());
    return rig;
}

EditorRig::EditorRig(AEffect* e, int block)
    : effect(e),
      plugin(static_cast<AnalyserPlugin*>(PluginCore::FromRecord(e))),
      blockSize(block),
      inLeft(static_cast<size_t>(block)),
      inRight(static_cast<size_t>(block)),
      outLeft(static_cast<size_t>(block)),
      outRight(static_cast<size_t>(block))
{
}

EditorRig::~EditorRig()
{
    effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

bool EditorRig::LoadState(const std::vector<uint8_t>& bytes, bool programChunk)
{
    std::vector<uint8_t> copy(bytes);
    return effect->dispatcher(effect, effSetChunk, programChunk ? 1 : 0, static_cast<VstIntPtr>(copy.size()),
                              copy.empty() ? nullptr : copy.data(), 0.0f) != 0;
}

void EditorRig::SetParameter(int index, double plain)
{
    const double normalized = plugin->ParamAt(index).ToNormalized(plain);
    effect->setParameter(effect, index, static_cast<float>(normalized));
}

void EditorRig::SetNormalized(int index, float value) { effect->setParameter(effect, index, value); }

void EditorRig::Process(const double* left, const double* right, int64_t frames)
{
    // Hosts hand over buffers they own; the plug-in may not keep or change the inputs, but
    // the callback takes non-const pointers, so the block goes through our own copy.
    while (frames > 0) {
        const int n = static_cast<int>(std::min<int64_t>(frames, blockSize));
        std::memcpy(inLeft.data(), left, sizeof(double) * static_cast<size_t>(n));
        std::memcpy(inRight.data(), right, sizeof(double) * static_cast<size_t>(n));
        double* in[2] = {inLeft.data(), inRight.data()};
        double* out[2] = {outLeft.data(), outRight.data()};
        effect->processDoubleReplacing(effect, in, out, n);
        left += n;
        right += n;
        frames -= n;
    }
}

void EditorRig::Tick() { window->Tick(); }

const std::vector<uint32_t>& EditorRig::Pixels() const { return window->PresentedPixels(); }

int EditorRig::Width() const { return plugin->GetGraphics()->Width(); }

int EditorRig::Height() const { return plugin->GetGraphics()->Height(); }
