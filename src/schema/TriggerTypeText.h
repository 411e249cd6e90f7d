#pragma once

#include <QString>

// When a trigger fires, as CREATE TRIGGER spells it, from RDB$TRIGGER_TYPE:
// "BEFORE INSERT OR UPDATE", "ON TRANSACTION COMMIT", "AFTER CREATE TABLE",
// "BEFORE ANY DDL STATEMENT".
QString TriggerTypeText(qint64 type);
