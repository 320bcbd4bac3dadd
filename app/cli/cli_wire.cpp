#include "app/cli/cli_wire.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace norvane::cli {

QByteArray encode_arguments(const QStringList& arguments) {
  return QJsonDocument(QJsonArray::fromStringList(arguments)).toJson(QJsonDocument::Compact);
}

std::optional<QStringList> decode_arguments(const QByteArray& bytes) {
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
  if (error.error != QJsonParseError::NoError || !doc.isArray()) return std::nullopt;
  QStringList arguments;
  for (const QJsonValue& value : doc.array()) {
    if (!value.isString()) return std::nullopt;
    arguments << value.toString();
  }
  return arguments;
}

QByteArray encode_reply(const Reply& reply) {
  const QJsonObject object{{QStringLiteral("exit"), reply.exit_code},
                           {QStringLiteral("out"), reply.out},
                           {QStringLiteral("err"), reply.err}};
  return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<Reply> decode_reply(const QByteArray& bytes) {
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
  if (error.error != QJsonParseError::NoError || !doc.isObject()) return std::nullopt;
  const QJsonObject object = doc.object();
  const QJsonValue exit = object.value(QStringLiteral("exit"));
  if (!exit.isDouble() || !object.value(QStringLiteral("out")).isString() ||
      !object.value(QStringLiteral("err")).isString())
    return std::nullopt;
  const int code = exit.toInt(-1);
  if (code < 0 || code > 2) return std::nullopt;
  return Reply{code, object.value(QStringLiteral("out")).toString(), object.value(QStringLiteral("err")).toString()};
}

}  // namespace norvane::cli
