# Precompiled Qt headers. Nearly every file includes a few Qt headers whose
# parse costs more than the file's own code; parsed once per library (and
# once per kind of test) instead, a cold build takes a fraction of the time.
# Each set holds only headers of the modules its layer may use: a file that
# uses a module its layer may not have still fails to compile.
#   quorvel_precompile(<target> <core|data|widgets|windows> [REUSE <test key>])
option(QUORVEL_PCH "Precompile the common Qt headers" ON)

set(QV_PCH_core <QString> <QStringList> <QByteArray> <QVariant> <QList> <QHash> <QMap>
    <QObject> <QDir> <QFile> <QFileInfo> <QCoreApplication> <QRegularExpression>
    <functional> <memory> <optional> <vector>)
set(QV_PCH_data ${QV_PCH_core} <QSqlDatabase> <QSqlQuery> <QSqlRecord> <QSqlField>
    <QSqlError> <QSqlDriver>)
set(QV_PCH_widgets ${QV_PCH_core} <QWidget> <QPainter> <QFont> <QPlainTextEdit>
    <QHBoxLayout> <QVBoxLayout> <QStyledItemDelegate> <QAbstractItemModel>)
set(QV_PCH_windows ${QV_PCH_data} <QWidget> <QPainter> <QFont> <QPlainTextEdit>
    <QHBoxLayout> <QVBoxLayout> <QStyledItemDelegate> <QAbstractItemModel> <QDialog>
    <QLabel> <QPushButton> <QLineEdit> <QComboBox> <QCheckBox> <QTableView> <QHeaderView>
    <QMenu> <QFormLayout> <QTreeWidget> <QMessageBox> <QSqlQueryModel>)

function(quorvel_precompile target set)
  if(NOT QUORVEL_PCH)
    return()
  endif()
  cmake_parse_arguments(P "" "REUSE" "" ${ARGN})
  if(NOT P_REUSE)
    target_precompile_headers(${target} PRIVATE ${QV_PCH_${set}})
    return()
  endif()
  # Targets of one key share compile options, and so one header.
  get_property(host GLOBAL PROPERTY QV_PCH_HOST_${P_REUSE})
  if(host)
    target_precompile_headers(${target} REUSE_FROM ${host})
  else()
    target_precompile_headers(${target} PRIVATE ${QV_PCH_${set}} <QTest>)
    set_property(GLOBAL PROPERTY QV_PCH_HOST_${P_REUSE} ${target})
  endif()
endfunction()
