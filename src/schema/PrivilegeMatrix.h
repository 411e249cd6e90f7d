#pragma once

#include "schema/PrivilegeGrantee.h"
#include "schema/PrivilegeTarget.h"
#include "schema/SchemaGrant.h"

#include <QList>
#include <QStringList>

#include <map>
#include <tuple>
#include <unordered_map>

// Who holds which privilege on what, as RDB$USER_PRIVILEGES has it, with
// the user's changes on top; the changes become the GRANT and REVOKE
// statements that make the catalogue say what the matrix shows.
class PrivilegeMatrix
{
public:
    enum class State { NotGranted, Granted, WithGrantOption };
    using Privilege = PrivilegeTarget::Privilege;

    // One more row of the catalogue's; rows of other letters (a role's
    // membership, M) are left out.
    void add(const SchemaGrant &grant);

    // What the cell shows: the change made to it, else the catalogue's.
    State state(const PrivilegeTarget &target, const PrivilegeGrantee &grantee,
                Privilege privilege) const;
    State stored(const PrivilegeTarget &target, const PrivilegeGrantee &grantee,
                 Privilege privilege) const;
    // False, and nothing changed, for a privilege the target has not.
    bool set(const PrivilegeTarget &target, const PrivilegeGrantee &grantee, Privilege privilege,
             State state);
    // The next state: not granted, granted, with grant option, not granted.
    static State next(State state);
    bool changed() const { return !m_edits.empty(); }
    void revert() { m_edits.clear(); }
    // The grantees holding anything on the target (any of its columns too).
    QList<PrivilegeGrantee> granteesOf(const PrivilegeTarget &target) const;

    // Per grantee and target: the REVOKEs, then the GRANTs, privileges in
    // the matrix's column order; a target's privileges share one statement.
    QStringList statements(int dialect) const;

private:
    // Object type (-1 for the DDL kinds), object, column, grantee type,
    // grantee, privilege.
    using Key = std::tuple<int, QString, QString, int, QString, int>;
    struct KeyHash
    {
        std::size_t operator()(const Key &key) const;
    };
    struct Edit
    {
        PrivilegeTarget target;
        PrivilegeGrantee grantee;
        State state;
    };

    static Key key(const PrivilegeTarget &target, const PrivilegeGrantee &grantee,
                   Privilege privilege);

    // Tens of thousands of rows on a big schema, looked up one cell at a time.
    std::unordered_map<Key, State, KeyHash> m_stored;
    // Ordered, so the statements come out the same for the same changes.
    std::map<Key, Edit> m_edits;
};
