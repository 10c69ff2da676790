#include "host/HostBinding.h"

// Defined here, so that the interface's type information has one home.
HostBinding::~HostBinding() = default;
