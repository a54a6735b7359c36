#include "Frameworks/Core/Plugin/DspToPlugin.h"

#include "Frameworks/Core/Plugin/PluginCore.h"

namespace core {

void DspToPlugin::programChange(int program) { m_core.programChange(program); }

void DspToPlugin::resendParameters() { m_core.resendParameters(); }

}  // namespace core
