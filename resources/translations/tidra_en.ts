<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>AlarmRecord</name>
    <message numerus="yes">
        <source>Repeat every %n Minute(s)</source>
        <translation>
            <numerusform>Repeat every %n Minute</numerusform>
            <numerusform>Repeat every %n Minutes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Repeat every %n Hour(s)</source>
        <translation>
            <numerusform>Repeat every %n Hour</numerusform>
            <numerusform>Repeat every %n Hours</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Repeat every %n Day(s)</source>
        <translation>
            <numerusform>Repeat every %n Day</numerusform>
            <numerusform>Repeat every %n Days</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Repeat every %n Week(s)</source>
        <translation>
            <numerusform>Repeat every %n Week</numerusform>
            <numerusform>Repeat every %n Weeks</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Repeat every %n Month(s)</source>
        <translation>
            <numerusform>Repeat every %n Month</numerusform>
            <numerusform>Repeat every %n Months</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Repeat every %n Year(s)</source>
        <translation>
            <numerusform>Repeat every %n Year</numerusform>
            <numerusform>Repeat every %n Years</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>td::AlarmCommands</name>
    <message numerus="yes">
        <source>The command of alarm &quot;%1&quot; ran longer than %n second(s) and was ended.</source>
        <translation>
            <numerusform>The command of alarm &quot;%1&quot; ran longer than %n second and was ended.</numerusform>
            <numerusform>The command of alarm &quot;%1&quot; ran longer than %n seconds and was ended.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>td::AlarmMsgDlg</name>
    <message numerus="yes">
        <source>%Ln more alarm(s) went off. Click here to open the alarm list.</source>
        <translation>
            <numerusform>%Ln more alarm went off. Click here to open the alarm list.</numerusform>
            <numerusform>%Ln more alarms went off. Click here to open the alarm list.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>td::AlarmPopups</name>
    <message numerus="yes">
        <source>and %Ln more alarm(s)</source>
        <translation>
            <numerusform>and %Ln more alarm</numerusform>
            <numerusform>and %Ln more alarms</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>td::MainSettingsDlg</name>
    <message numerus="yes">
        <source>%n day(s) off imported from %1.</source>
        <translation>
            <numerusform>%n day off imported from %1.</numerusform>
            <numerusform>%n days off imported from %1.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>td::protocol</name>
    <message numerus="yes">
        <source>The command &quot;%1&quot; cannot take %n argument(s).</source>
        <translation>
            <numerusform>The command &quot;%1&quot; cannot take %n argument.</numerusform>
            <numerusform>The command &quot;%1&quot; cannot take %n arguments.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Tidra was started but did not answer within %n second(s).</source>
        <translation>
            <numerusform>Tidra was started but did not answer within %n second.</numerusform>
            <numerusform>Tidra was started but did not answer within %n seconds.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>td::spans</name>
    <message numerus="yes">
        <source>%n Week(s)</source>
        <translation>
            <numerusform>%n Week</numerusform>
            <numerusform>%n Weeks</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Day(s)</source>
        <translation>
            <numerusform>%n Day</numerusform>
            <numerusform>%n Days</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Hour(s)</source>
        <translation>
            <numerusform>%n Hour</numerusform>
            <numerusform>%n Hours</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Minute(s)</source>
        <translation>
            <numerusform>%n Minute</numerusform>
            <numerusform>%n Minutes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Second(s)</source>
        <translation>
            <numerusform>%n Second</numerusform>
            <numerusform>%n Seconds</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>td::timermath</name>
    <message numerus="yes">
        <source>%n week(s)</source>
        <translation>
            <numerusform>%n week</numerusform>
            <numerusform>%n weeks</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n day(s)</source>
        <translation>
            <numerusform>%n day</numerusform>
            <numerusform>%n days</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hour(s)</source>
        <translation>
            <numerusform>%n hour</numerusform>
            <numerusform>%n hours</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minute(s)</source>
        <translation>
            <numerusform>%n minute</numerusform>
            <numerusform>%n minutes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n second(s)</source>
        <translation>
            <numerusform>%n second</numerusform>
            <numerusform>%n seconds</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>td::transfer</name>
    <message numerus="yes">
        <source>%n alarm(s) written to %1.</source>
        <translation>
            <numerusform>%n alarm written to %1.</numerusform>
            <numerusform>%n alarms written to %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n alarm(s) imported from %1.</source>
        <translation>
            <numerusform>%n alarm imported from %1.</numerusform>
            <numerusform>%n alarms imported from %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) were there already.</source>
        <translation>
            <numerusform>%n event was there already.</numerusform>
            <numerusform>%n events were there already.</numerusform>
        </translation>
    </message>
</context>
</TS>
