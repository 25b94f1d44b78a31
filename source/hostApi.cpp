#include "source/hostApi.h"

namespace caelo {

const HostInterface* g_hostInterface = nullptr;

} // namespace caelo
