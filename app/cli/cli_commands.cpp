#include "app/cli/cli_commands.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

#include "settings/ms1_page.h"
#include "storage/case_fold.h"
#include "storage/record_names.h"

namespace norvane::cli {

namespace {

QString from_utf16(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

Reply failed(int code, const QString& why) { return Reply{code, {}, QStringLiteral("norvane: %1\n").arg(why)}; }

Reply failed(const PageCommandResult& result) {
  return failed(kExitBadInput, QString::fromStdString(result.error));
}

QString json_text(const QJsonValue& value) {
  const QJsonDocument doc = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
  return QString::fromUtf8(doc.toJson(QJsonDocument::Indented));
}

std::string path_of(const QString& operand) { return QFile::encodeName(operand).toStdString(); }

// A name of `names` (in any letter case), else a number 1..size; nullopt when neither.
template <typename Names>
std::optional<int> find_entry(const QString& operand, const Names& names) {
  const std::u16string wanted = operand.toStdU16String();
  for (size_t i = 0; i < names.size(); ++i) {
    if (equal_ignoring_case(field_name(names[i]->name), wanted)) return static_cast<int>(i);
  }
  bool number = false;
  const int index = operand.toInt(&number);
  if (number && index >= 1 && static_cast<size_t>(index) <= names.size()) return index - 1;
  return std::nullopt;
}

// One row per entry; `current`, when given, is marked ("*", and "current" in JSON).
template <typename Names>
Reply list_entries(const Names& names, std::optional<int> current, bool json) {
  if (json) {
    QJsonArray rows;
    for (size_t i = 0; i < names.size(); ++i) {
      QJsonObject row{{QStringLiteral("index"), static_cast<int>(i) + 1},
                      {QStringLiteral("name"), from_utf16(field_name(names[i]->name))}};
      if (current) row.insert(QStringLiteral("current"), static_cast<int>(i) == *current);
      rows.append(row);
    }
    return Reply{kExitDone, json_text(rows), {}};
  }
  QString out;
  for (size_t i = 0; i < names.size(); ++i) {
    const QChar mark = current == static_cast<int>(i) ? QLatin1Char('*') : QLatin1Char(' ');
    out += QStringLiteral("%1 %2  %3\n").arg(mark).arg(i + 1, 2).arg(from_utf16(field_name(names[i]->name)));
  }
  return Reply{kExitDone, out, {}};
}

Reply status_reply(const PageStatus& s, bool json) {
  QJsonArray links;
  for (const std::string& link : s.links) links.append(QString::fromStdString(link));
  QJsonArray pending;
  for (const std::string& section : s.pending) pending.append(QString::fromStdString(section));
  if (json) {
    QJsonObject battery{{QStringLiteral("level"), s.battery_level >= 0 ? QJsonValue(s.battery_level) : QJsonValue()},
                        {QStringLiteral("charging"), s.charging}};
    QJsonObject profile{{QStringLiteral("index"), s.profile_index + 1},
                        {QStringLiteral("name"), QString::fromStdString(s.profile_name)}};
    QJsonObject root{{QStringLiteral("links"), links},     {QStringLiteral("asleep"), s.asleep},
                     {QStringLiteral("battery"), battery}, {QStringLiteral("profile"), profile},
                     {QStringLiteral("pending"), pending}};
    return Reply{kExitDone, json_text(root), {}};
  }
  QStringList link_names;
  for (const std::string& link : s.links) link_names << QString::fromStdString(link);
  QStringList pending_names;
  for (const std::string& section : s.pending) pending_names << QString::fromStdString(section);
  QString battery = s.battery_level >= 0 ? QStringLiteral("%1%").arg(s.battery_level) : QStringLiteral("unknown");
  if (s.charging) battery = QStringLiteral("charging");
  QString out;
  out += QStringLiteral("links:   %1\n").arg(link_names.isEmpty() ? QStringLiteral("none") : link_names.join(QStringLiteral(", ")));
  out += QStringLiteral("asleep:  %1\n").arg(s.asleep ? QStringLiteral("yes") : QStringLiteral("no"));
  out += QStringLiteral("battery: %1\n").arg(battery);
  out += QStringLiteral("profile: %1 %2\n").arg(s.profile_index + 1).arg(QString::fromStdString(s.profile_name));
  out += QStringLiteral("pending: %1\n").arg(pending_names.isEmpty() ? QStringLiteral("none") : pending_names.join(QStringLiteral(", ")));
  return Reply{kExitDone, out, {}};
}

bool mouse_reached(const CMS_1_Page& page) {
  const PageStatus s = page.status();
  return !s.links.empty() && !s.asleep;
}

// Carries out an operation that changes the profile, then waits until the mouse took it.
Reply send_to_mouse(CMS_1_Page& page, const Waits& waits, const PageCommandResult& result) {
  if (!result.ok() && !result.changed) return failed(result);
  // The request reaches the worker through the window's queue; once it is there, every
  // request up to it is ahead of it in the worker's queue.
  const uint64_t before = page.apply_requests_posted();
  page.apply_now();
  const bool sent = waits.wait_until([&page, before] { return page.apply_requests_posted() > before; }, waits.apply_ms);
  const uint64_t ticket = page.apply_requests_posted();
  const bool done =
      sent && waits.wait_until([&page, ticket] { return page.apply_requests_handled() >= ticket; }, waits.apply_ms);
  if (!done || page.changes_pending()) {
    return failed(kExitUnreachable, QStringLiteral("the mouse did not take the changes (it went asleep or away); "
                                                   "they stay pending"));
  }
  // Done, but not all of it: a profile imported whose macros the library could not store.
  if (!result.ok()) return failed(kExitUnreachable, QString::fromStdString(result.error));
  return {};
}

bool read_level(const QString& text, int& level) {
  bool ok = false;
  level = text.toInt(&ok);
  return ok;
}

}  // namespace

Reply run_command(const Request& request, CMS_1_Page& page, const Waits& waits) {
  if (needs_mouse(request.verb) || request.verb == Verb::status) {
    const bool reached = waits.wait_until([&page] { return mouse_reached(page); }, waits.mouse_ms);
    if (!reached && request.verb != Verb::status) {
      const PageStatus s = page.status();
      return failed(kExitUnreachable, s.links.empty() ? QStringLiteral("the mouse is not connected")
                                                      : QStringLiteral("the mouse is asleep; move it to wake it"));
    }
    if (reached && request.verb == Verb::status) {
      waits.wait_until([&page] { return page.status().battery_level >= 0 || page.status().charging; },
                       waits.battery_ms);
    }
  }
  const QStringList& args = request.operands;
  switch (request.verb) {
    case Verb::none:
      return {};
    case Verb::status:
      return status_reply(page.status(), request.json);
    case Verb::profile_list:
      return list_entries(page.profiles().profiles, page.profiles().selected_profile_index(), request.json);
    case Verb::profile_select: {
      const auto index = find_entry(args[0], page.profiles().profiles);
      if (!index) return failed(kExitBadInput, QStringLiteral("no profile \"%1\"").arg(args[0]));
      return send_to_mouse(page, waits, page.choose_profile(*index));
    }
    case Verb::profile_export: {
      const auto index = find_entry(args[0], page.profiles().profiles);
      if (!index) return failed(kExitBadInput, QStringLiteral("no profile \"%1\"").arg(args[0]));
      const PageCommandResult r = page.export_profile_to(*index, path_of(args[1]));
      return r.ok() ? Reply{} : failed(kExitUnreachable, QString::fromStdString(r.error));
    }
    case Verb::profile_import:
      return send_to_mouse(page, waits, page.import_profile_from(path_of(args[0])));
    case Verb::apply:
      return send_to_mouse(page, waits, {});
    case Verb::dpi_level: {
      int level = 0;
      if (!read_level(args[0], level)) return failed(kExitBadInput, QStringLiteral("\"%1\" is no DPI level").arg(args[0]));
      return send_to_mouse(page, waits, page.choose_dpi_level(level));
    }
    case Verb::dpi_set: {
      int level = 0;
      bool number = false;
      const long long cpi = args[1].toLongLong(&number);
      if (!read_level(args[0], level)) return failed(kExitBadInput, QStringLiteral("\"%1\" is no DPI level").arg(args[0]));
      if (!number) return failed(kExitBadInput, QStringLiteral("\"%1\" is no DPI value").arg(args[1]));
      return send_to_mouse(page, waits, page.set_dpi_cpi(level, cpi));
    }
    case Verb::macro_list:
      return list_entries(page.macro_library(), std::nullopt, request.json);
    case Verb::macro_export: {
      const auto index = find_entry(args[0], page.macro_library());
      if (!index) return failed(kExitBadInput, QStringLiteral("no macro \"%1\"").arg(args[0]));
      const PageCommandResult r = page.export_macro_to(*index, path_of(args[1]));
      return r.ok() ? Reply{} : failed(kExitUnreachable, QString::fromStdString(r.error));
    }
    case Verb::macro_import: {
      const PageCommandResult r = page.import_macro_from(path_of(args[0]));
      if (r.ok()) return {};
      return r.changed ? failed(kExitUnreachable, QString::fromStdString(r.error)) : failed(r);
    }
  }
  return {};
}

}  // namespace norvane::cli
