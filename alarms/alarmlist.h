#pragma once

namespace td {

class AlarmMsgDlg;

/// Brings the alarm list row of an alarm in step with its record (name).
void refreshAlarmRow(AlarmMsgDlg* alarm);

} // namespace td
