#pragma once

#include <ibase.h>

#include <QString>

// Turns a client-library status vector into the server's text.
namespace IbStatus {

// True when the vector reports an error: first word 1, second word not 0.
bool failed(const ISC_STATUS *vector);

// The server's lines, each preceded by a carriage return, nothing trimmed.
QString text(const ISC_STATUS *vector);

// The server's lines joined by line feeds: the data-access layer's error text.
QString plainText(const ISC_STATUS *vector);

// Throws DatabaseError carrying text() when the vector reports an error.
void check(const ISC_STATUS *vector);

} // namespace IbStatus
