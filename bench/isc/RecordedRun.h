#pragma once

#include <string>
#include <vector>

// One input value as the program handed it to the client library.
struct RecordedParameter
{
    short type = 0;
    short scale = 0;
    short subType = 0;
    short length = 0;
    bool null = false;
    std::string data;
};

// One execution of a prepared statement by the program: its text, its
// input values and how many rows it fetched (and whether to the end).
struct RecordedRun
{
    std::string text;
    // The SQL dialect it was prepared in (the program reads generator values
    // in dialect 3 whatever the database's dialect).
    unsigned short dialect = 1;
    std::vector<RecordedParameter> parameters;
    long rows = 0;
    bool reachedEnd = false;
    // What it read in the background, ahead of being asked.
    long rowsReadAhead = 0;
    bool endReadAhead = false;
    // Opened a cursor (isc_dsql_execute) rather than running to one result.
    bool cursor = true;
};
