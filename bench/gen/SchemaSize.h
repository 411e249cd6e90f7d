#pragma once

// How many objects of each kind the generated schema holds.
struct SchemaSize
{
    int domains;
    int exceptions;
    int generators;
    int tables;
    int views;
    int triggers;
    int procedures;
    long rows;

    static SchemaSize reference() { return {5000, 2000, 2000, 1000, 300, 3000, 1500, 1000000}; }
    // Every kind of object, few of each: checks that the benchmark runs.
    static SchemaSize tiny() { return {40, 20, 20, 12, 6, 30, 15, 3000}; }
    // What the explorer lists: a hundred thousand objects, or a thousand
    // to check that the measure runs.
    static SchemaSize manyObjects(bool tiny) { return {tiny ? 1000 : 100000, 0, 0, 0, 0, 0, 0, 0}; }
};
