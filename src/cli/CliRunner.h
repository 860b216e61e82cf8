#pragma once

#include <QStringList>

// kestrin-cli: picks the subcommand, prints help, and turns every failure into one line on
// stderr and exit status 1.
namespace CliRunner {

// "--verbose" anywhere lets the image libraries' own messages through to stderr; without it
// they are dropped.
int run(QStringList arguments);

} // namespace CliRunner
