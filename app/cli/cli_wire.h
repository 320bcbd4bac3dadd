#pragma once
// A command and its reply as the bytes that travel over the single-instance socket:
// the arguments as a JSON array, the reply as a JSON object (exit code, stdout,
// stderr). Anything that does not decode is refused, never guessed at.

#include <QByteArray>
#include <QStringList>
#include <optional>

#include "app/cli/cli_commands.h"

namespace norvane::cli {

QByteArray encode_arguments(const QStringList& arguments);
std::optional<QStringList> decode_arguments(const QByteArray& bytes);

QByteArray encode_reply(const Reply& reply);
std::optional<Reply> decode_reply(const QByteArray& bytes);

}  // namespace norvane::cli
