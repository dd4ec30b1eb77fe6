#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The command-line face of DefaultsDomains, run by the pendrel-defaults program and by anything
// that wants its exact behaviour in-process. It reads, writes and deletes keys the way the
// settings tweaks expect of a defaults tool:
//
//   read DOMAIN KEY                  prints the value and a line end (see DefaultsDomains::format)
//   read DOMAIN                      prints the whole domain as JSON
//   write DOMAIN KEY [TYPE] VALUE    TYPE one of -string (the default), -bool, -int, -float
//   delete DOMAIN KEY                removes the key
//   domains                          lists the stored domains, comma separated
//
// Exit status: 0 done; 1 the domain or key does not exist (read, delete); 2 anything else
// (usage, a value of the wrong type, a store that cannot be read or written), with a sentence
// on standard error.
namespace DefaultsTool {

enum Exit { Success = 0, NotFound = 1, Failure = 2 };

struct Outcome {
    int exitCode = Failure;
    QByteArray standardOutput;
    QByteArray standardError;
};

// Runs one command (the arguments after the program name) against the store in `folder`.
Outcome run(const QStringList& arguments, const QString& folder);

QString usage();

} // namespace DefaultsTool
