#pragma once

#include <QString>

class QProgressDialog;

// Database > Extract Metadata: the whole database's metadata script, read
// in one pass over the catalogue, opened in a new DDL statements window
// from where the user saves it, runs it or keeps it in the repository.
// A progress box counts the catalogue's kinds as they are read; its Cancel
// stops the reading, and no window opens.
namespace MetadataExtraction {

void open();

// The progress box's texts.
QString caption();
QString label();

} // namespace MetadataExtraction
