#!/usr/bin/env bash
# Creates the dialect-1 demo database from demo/demo.sql with the embedded engine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
target="${1:-$root/demo/demo.fdb}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
{
  echo "SET SQL DIALECT 1;"
  echo "CREATE DATABASE '$target' USER 'SYSDBA' PASSWORD 'quillpost' PAGE_SIZE 4096;"
  cat "$root/demo/demo.sql"
} > "$tmp/create.sql"
isql-fb -q -b -i "$tmp/create.sql"
echo "Created $target"
