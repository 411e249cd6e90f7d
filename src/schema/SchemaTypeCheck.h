#pragma once

struct SchemaModel;

// A type the script writer cannot name would become an empty declaration
// ("CREATE DOMAIN D AS ;") that the server refuses on replay, long after the
// script was reported written. A model with one is refused whole instead.
namespace SchemaTypeCheck {

// Throws GeneralError naming the first object whose declared type has a
// code SqlTypeText does not know, and the code.
void requireKnownTypes(const SchemaModel &model);

} // namespace SchemaTypeCheck
