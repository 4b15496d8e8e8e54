#include "modems/DateText.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

namespace specterm {
// The locale's short date with the year widened to four digits, and its
// long time without the time zone.
QString DateTextPattern(const QLocale& locale) {
  QString date = locale.dateFormat(QLocale::ShortFormat);
  if (!date.contains(QStringLiteral("yyyy"))) date.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
  QString time = locale.timeFormat(QLocale::LongFormat);
  time.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
  return date + QLatin1Char(' ') + time.trimmed();
}

namespace {

vb::DateTime FromQt(const QDateTime& dt) {
  const QDate d = dt.date();
  const QTime t = dt.time();
  return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

QDateTime ToQt(const vb::DateTime& date) {
  return QDateTime(QDate(date.year, date.month, date.day), QTime(date.hour, date.minute, date.second));
}

}  // namespace

vb::DateTime EarliestDate() { return {100, 1, 1, 0, 0, 0}; }

vb::DateTime Now() { return FromQt(QDateTime::currentDateTime()); }

std::string DateToText(const vb::DateTime& date) { return DateToText(date, QLocale::system()); }

vb::DateTime DateFromText(const std::string& text) { return DateFromText(text, QLocale::system()); }

std::string DateToText(const vb::DateTime& date, const QLocale& locale) {
  const QDateTime dt = ToQt(date);
  if (!dt.isValid()) return DateToText(EarliestDate(), locale);
  return locale.toString(dt, DateTextPattern(locale)).toStdString();
}

vb::DateTime DateFromText(const std::string& text, const QLocale& locale) {
  const QString qtext = QString::fromStdString(text).trimmed();
  if (qtext.isEmpty()) return EarliestDate();
  QDateTime dt = locale.toDateTime(qtext, DateTextPattern(locale));
  if (!dt.isValid()) dt = QDateTime::fromString(qtext, Qt::ISODate);
  if (!dt.isValid()) return EarliestDate();
  return FromQt(dt);
}

bool SameDate(const vb::DateTime& a, const vb::DateTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
         a.second == b.second;
}

}  // namespace specterm
