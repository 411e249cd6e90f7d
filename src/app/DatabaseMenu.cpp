#include "app/DatabaseMenu.h"

#include "catalog/MetadataExtraction.h"
#include "catalog/TAttachmentsForm.h"
#include "catalog/TBackupForm.h"
#include "catalog/TDatabaseExplorer.h"
#include "catalog/TDomainsForm.h"
#include "catalog/TExceptionsForm.h"
#include "catalog/TFormTblStr.h"
#include "catalog/TFormTriggers.h"
#include "catalog/TFunctionsForm.h"
#include "catalog/TGeneratorsForm.h"
#include "catalog/TMaintenanceForm.h"
#include "catalog/TPackagesForm.h"
#include "catalog/TPropertiesForm.h"
#include "catalog/TRestoreForm.h"
#include "catalog/TPrivilegesForm.h"
#include "catalog/TRolesForm.h"
#include "catalog/TStatisticsForm.h"
#include "catalog/TStoredProcsForm.h"
#include "catalog/TUsersForm.h"
#include "workbench/TDataForm.h"
#include "workbench/TObjRepos.h"
#include "workbench/TORepOptDlg.h"
#include "workbench/TSQLExprForm.h"

namespace DatabaseMenu {

QList<Item> items()
{
    return {
        {QStringLiteral("&Domains"), QStringLiteral("Opens domains list"),
         [] { TDomainsForm::open(); }},
        {QStringLiteral("&Exceptions"),
         QStringLiteral("Opens exceptions list for editing, creating and deleting"),
         [] { TExceptionsForm::open(); }},
        {QStringLiteral("&Triggers"),
         QStringLiteral("Opens triggers list to view, edit and create triggers"),
         [] { TFormTriggers::open(); }},
        {QStringLiteral("Table &Structures"), QStringLiteral("Shows tables/ views structures"),
         [] { TFormTblStr::open(); }},
        {QStringLiteral("&Object Repository"),
         QStringLiteral("Opens a table  where objects source can be saved  for further editing"),
         [] { TObjRepos::open(); }},
        {QStringLiteral("DD&L Statements"),
         QStringLiteral("Opens SQL Expressions Window for executing DDL statements"),
         [] { TSQLExprForm::open(); }},
        {QStringLiteral("Data &View"),
         QStringLiteral("Opens window in which you can view, edit, insert data in views and tables"),
         [] { TDataForm::open(); }},
        {QStringLiteral("&Generators"), QStringLiteral("Opens generators list"),
         [] { TGeneratorsForm::open(); }},
        {QStringLiteral("&Procedures"),
         QStringLiteral("Procedure list for creating and editing stored procedures"),
         [] { TStoredProcsForm::open(); }},
        {QStringLiteral("F&unctions"),
         QStringLiteral("Functions list for viewing, rebuilding and deleting stored functions"),
         [] { TFunctionsForm::open(); }},
        {QStringLiteral("Pac&kages"),
         QStringLiteral("Packages list for viewing, rebuilding and deleting packages"),
         [] { TPackagesForm::open(); }},
        {QStringLiteral("Database E&xplorer"),
         QStringLiteral("Shows every object of the database by kind and finds them by name"),
         [] { TDatabaseExplorer::open(); }},
        {QStringLiteral("Extract &Metadata…"),
         QStringLiteral("Writes the DDL of the whole database into a DDL statements window"),
         [] { MetadataExtraction::open(); }},
        {QStringLiteral("&Attachments"),
         QStringLiteral("Shows who is attached to the database now, with their transactions and "
                        "statements"),
         [] { TAttachmentsForm::open(); }},
        {QStringLiteral("Use&rs"),
         QStringLiteral("Creates, alters and drops the users of the server's security database"),
         [] { TUsersForm::open(); }},
        {QStringLiteral("Roles"),
         QStringLiteral("Creates and drops roles, grants them to users and roles and revokes them"),
         [] { TRolesForm::open(); }},
        {QStringLiteral("&Backup…"),
         QStringLiteral("Backs the database up through its server, and proves the backup by "
                        "restoring it"),
         [] { TBackupForm::open(); }},
        {QStringLiteral("Restore…"),
         QStringLiteral("Restores a backup into a new database through a server"),
         [] { TRestoreForm::open(); }},
        {QStringLiteral("Validation and S&weep…"),
         QStringLiteral("Validates the database's tables and indices, or sweeps it"),
         [] { TMaintenanceForm::open(); }},
        {QStringLiteral("Propert&ies…"),
         QStringLiteral("Shows and changes the database's settings; shuts it down and brings "
                        "it online"),
         [] { TPropertiesForm::open(); }},
        {QStringLiteral("Statisti&cs"),
         QStringLiteral("Shows the header page and the size of every table and index"),
         [] { TStatisticsForm::open(); }},
        {QStringLiteral("Privileges"),
         QStringLiteral("Shows and changes who may do what: the privileges of a grantee or on an "
                        "object"),
         [] { TPrivilegesForm::open(); }},
    };
}

void ORepSettingsClick()
{
    ShowRepositorySettings();
}

} // namespace DatabaseMenu
