#pragma once

class QTableView;
class RepositoryStore;
class TableNavigator;

// How the repository window and its picker show the repository: attached,
// its rows read, and only the name column, titled "Object Name".
namespace RepositoryGrid {

// Throws DatabaseError when the repository cannot be opened.
void open(RepositoryStore &store, TableNavigator &source, QTableView &grid);

} // namespace RepositoryGrid
