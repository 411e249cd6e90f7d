#pragma once

#include <ibase.h>

// Status vectors that mean the attachment itself is gone (server killed,
// network down, database shut down), as opposed to a refused request: no
// transaction on it can be committed or rolled back any more.
namespace IbConnectionLoss {

bool detected(const ISC_STATUS *vector);

} // namespace IbConnectionLoss
