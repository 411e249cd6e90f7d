#include "schema/PrivilegeMatrix.h"

#include <QHashFunctions>

#include <algorithm>
#include <set>

namespace {

using State = PrivilegeMatrix::State;
using Privilege = PrivilegeTarget::Privilege;

State fromOption(int option)
{
    return option == 1 ? State::WithGrantOption : State::Granted;
}

// What one target's changes for one grantee come to, one list per statement.
struct Changes
{
    QList<Privilege> revoke;
    QList<Privilege> revokeOption;
    QList<Privilege> grant;
    QList<Privilege> grantOption;

    void add(Privilege privilege, State before, State after)
    {
        if (after == State::NotGranted)
            revoke << privilege;
        else if (after == State::Granted && before == State::WithGrantOption)
            revokeOption << privilege;
        else if (after == State::Granted)
            grant << privilege;
        else
            grantOption << privilege;
    }
};

void appendChanges(QStringList &statements, const PrivilegeTarget &target,
                   const PrivilegeGrantee &grantee, Changes changes, int dialect)
{
    const auto order = [](QList<Privilege> &list) { std::sort(list.begin(), list.end()); };
    const QString who = grantee.text(dialect);
    const auto add = [&](QList<Privilege> &list, const QString &format) {
        order(list);
        if (!list.isEmpty())
            statements << format.arg(target.privilegeText(list, dialect), who);
    };
    add(changes.revoke, QStringLiteral("REVOKE %1 FROM %2"));
    add(changes.revokeOption, QStringLiteral("REVOKE GRANT OPTION FOR %1 FROM %2"));
    add(changes.grant, QStringLiteral("GRANT %1 TO %2"));
    add(changes.grantOption, QStringLiteral("GRANT %1 TO %2 WITH GRANT OPTION"));
}

} // namespace

std::size_t PrivilegeMatrix::KeyHash::operator()(const Key &key) const
{
    const auto &[type, object, column, granteeType, grantee, privilege] = key;
    return qHashMulti(0, type, object, column, granteeType, grantee, privilege);
}

void PrivilegeMatrix::add(const SchemaGrant &grant)
{
    Privilege privilege;
    if (!PrivilegeTarget::fromLetter(grant.privilege, privilege))
        return;
    const bool ddl = !PrivilegeTarget::ddlKeyword(grant.object).isEmpty();
    const Key at{ddl ? -1 : grant.objectType, grant.object, grant.column, grant.granteeType,
                 grant.grantee, int(privilege)};
    // Granted by several grantors: the strongest of their grants counts.
    State &state = m_stored.try_emplace(at, State::NotGranted).first->second;
    state = std::max(state, fromOption(grant.option));
}

PrivilegeMatrix::Key PrivilegeMatrix::key(const PrivilegeTarget &target,
                                          const PrivilegeGrantee &grantee, Privilege privilege)
{
    return {target.objectType(), target.name, target.column, grantee.type, grantee.name,
            int(privilege)};
}

PrivilegeMatrix::State PrivilegeMatrix::stored(const PrivilegeTarget &target,
                                               const PrivilegeGrantee &grantee,
                                               Privilege privilege) const
{
    const auto found = m_stored.find(key(target, grantee, privilege));
    return found == m_stored.end() ? State::NotGranted : found->second;
}

PrivilegeMatrix::State PrivilegeMatrix::state(const PrivilegeTarget &target,
                                              const PrivilegeGrantee &grantee,
                                              Privilege privilege) const
{
    const auto found = m_edits.find(key(target, grantee, privilege));
    return found == m_edits.end() ? stored(target, grantee, privilege) : found->second.state;
}

bool PrivilegeMatrix::set(const PrivilegeTarget &target, const PrivilegeGrantee &grantee,
                          Privilege privilege, State state)
{
    if (!target.applies(privilege))
        return false;
    const Key at = key(target, grantee, privilege);
    if (state == stored(target, grantee, privilege))
        m_edits.erase(at);
    else
        m_edits.insert_or_assign(at, Edit{target, grantee, state});
    return true;
}

PrivilegeMatrix::State PrivilegeMatrix::next(State state)
{
    switch (state) {
    case State::NotGranted: return State::Granted;
    case State::Granted: return State::WithGrantOption;
    default: return State::NotGranted;
    }
}

QList<PrivilegeGrantee> PrivilegeMatrix::granteesOf(const PrivilegeTarget &target) const
{
    std::set<PrivilegeGrantee> found;
    for (const auto &[at, state] : m_stored) {
        if (std::get<0>(at) == target.objectType() && std::get<1>(at) == target.name)
            found.insert({std::get<3>(at), std::get<4>(at)});
    }
    return {found.begin(), found.end()};
}

QStringList PrivilegeMatrix::statements(int dialect) const
{
    QStringList statements;
    const Edit *group = nullptr;
    Changes changes;
    // The edits are ordered by target, then grantee, then privilege: one
    // group after another.
    const auto sameGroup = [](const Key &a, const Key &b) {
        return std::get<0>(a) == std::get<0>(b) && std::get<1>(a) == std::get<1>(b)
               && std::get<2>(a) == std::get<2>(b) && std::get<3>(a) == std::get<3>(b)
               && std::get<4>(a) == std::get<4>(b);
    };
    const Key *groupKey = nullptr;
    for (const auto &[at, edit] : m_edits) {
        if (groupKey && !sameGroup(*groupKey, at)) {
            appendChanges(statements, group->target, group->grantee, changes, dialect);
            changes = Changes();
        }
        group = &edit;
        groupKey = &at;
        const auto privilege = Privilege(std::get<5>(at));
        changes.add(privilege, stored(edit.target, edit.grantee, privilege), edit.state);
    }
    if (group)
        appendChanges(statements, group->target, group->grantee, changes, dialect);
    return statements;
}
