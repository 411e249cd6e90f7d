#pragma once

#include <ibase.h>

#include <QString>

// Status vectors that mean the attachment itself is gone (server killed,
// network down, database shut down), as opposed to a refused request: no
// transaction on it can be committed or rolled back any more.
namespace IbConnectionLoss {

bool detected(const ISC_STATUS *vector);

// Said after the client's own text when the attachment died: what became of
// the user's work, which the client's text alone does not tell.
QString lostText();
QString lostWorkText();
QString lostInCommitText();

} // namespace IbConnectionLoss
