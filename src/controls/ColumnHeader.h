#pragma once

class QAbstractItemView;
class QHeaderView;

// The header above a table's or a tree's columns; null for other views.
QHeaderView *columnHeader(QAbstractItemView *view);
