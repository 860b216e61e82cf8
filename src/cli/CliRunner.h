#pragma once

#include <QStringList>

// kestrin-cli: picks the subcommand, prints help, and turns every failure into one line on
// stderr and exit status 1.
namespace CliRunner {

int run(const QStringList& arguments);

} // namespace CliRunner
