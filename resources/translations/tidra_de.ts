<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AlarmDialog</name>
    <message>
        <source>Alarm</source>
        <translation>Wecker</translation>
    </message>
    <message>
        <source>&amp;Name</source>
        <translation>Nam&amp;e</translation>
    </message>
    <message>
        <source>&amp;Date</source>
        <translation>Da&amp;tum</translation>
    </message>
    <message>
        <source>&amp;Time</source>
        <translation>&amp;Uhrzeit</translation>
    </message>
    <message>
        <source>A&amp;larm</source>
        <translation>&amp;Wecker</translation>
    </message>
    <message>
        <source>Once</source>
        <translation>Einmal</translation>
    </message>
    <message>
        <source>Repeat every ...</source>
        <translation>Wiederholen alle ...</translation>
    </message>
    <message>
        <source>Day of week</source>
        <translation>Wochentage</translation>
    </message>
    <message>
        <source>&amp;Enabled</source>
        <translation>A&amp;ktiviert</translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation>Minuten</translation>
    </message>
    <message>
        <source>Hours</source>
        <translation>Stunden</translation>
    </message>
    <message>
        <source>Days</source>
        <translation>Tage</translation>
    </message>
    <message>
        <source>Weeks</source>
        <translation>Wochen</translation>
    </message>
    <message>
        <source>Months</source>
        <translation>Monate</translation>
    </message>
    <message>
        <source>Years</source>
        <translation>Jahre</translation>
    </message>
    <message>
        <source>&amp;Sun</source>
        <translation>&amp;So</translation>
    </message>
    <message>
        <source>M&amp;on</source>
        <translation>M&amp;o</translation>
    </message>
    <message>
        <source>T&amp;ue</source>
        <translation>D&amp;i</translation>
    </message>
    <message>
        <source>&amp;Wed</source>
        <translation>&amp;Mi</translation>
    </message>
    <message>
        <source>T&amp;hu</source>
        <translation>&amp;Do</translation>
    </message>
    <message>
        <source>&amp;Fri</source>
        <translation>&amp;Fr</translation>
    </message>
    <message>
        <source>S&amp;at</source>
        <translation>S&amp;a</translation>
    </message>
    <message>
        <source>&amp;Message:</source>
        <translation>&amp;Nachricht:</translation>
    </message>
    <message>
        <source>A&amp;pply</source>
        <translation>&amp;Übernehmen</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>A&amp;bbrechen</translation>
    </message>
    <message>
        <source>&amp;Ring with</source>
        <translation>K&amp;lingeln mit</translation>
    </message>
    <message>
        <source>Run pro&amp;gram</source>
        <translation>&amp;Programm ausführen</translation>
    </message>
    <message>
        <source>Program and arguments (optional)</source>
        <translation>Programm und Argumente (optional)</translation>
    </message>
    <message>
        <source>Choose e&amp;xecutable...</source>
        <translation>Programm suc&amp;hen...</translation>
    </message>
    <message>
        <source>Empty name</source>
        <translation>Kein Name</translation>
    </message>
    <message>
        <source>Alarm can not be unnamed.
Please write alarm&apos;s name.</source>
        <translation>Ein Wecker braucht einen Namen.
Bitte geben Sie den Namen des Weckers ein.</translation>
    </message>
    <message>
        <source>Back in time!</source>
        <translation>Zurück in der Zeit!</translation>
    </message>
    <message>
        <source>Alarm can not be placed in the past.
Please enter date and time in the future.</source>
        <translation>Ein Wecker kann nicht in der Vergangenheit liegen.
Bitte geben Sie Datum und Uhrzeit in der Zukunft ein.</translation>
    </message>
    <message>
        <source>Play once</source>
        <translation>Einmal</translation>
    </message>
    <message>
        <source>No one day of week is selected, repeat mode will be set to &apos;Once&apos;</source>
        <translation>Kein Wochentag ist gewählt; der Wecker wird auf „Einmal“ gestellt.</translation>
    </message>
</context>
<context>
    <name>AlarmMsgDialog2</name>
    <message>
        <source>Alarm</source>
        <translation>Wecker</translation>
    </message>
</context>
<context>
    <name>AlarmRecord</name>
    <message numerus="yes">
        <source>Repeat every %n Minute(s)</source>
        <translation>
            <numerusform>Jede Minute wiederholen</numerusform>
            <numerusform>Alle %n Minuten wiederholen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Repeat every %n Hour(s)</source>
        <translation>
            <numerusform>Jede Stunde wiederholen</numerusform>
            <numerusform>Alle %n Stunden wiederholen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Repeat every %n Day(s)</source>
        <translation>
            <numerusform>Jeden Tag wiederholen</numerusform>
            <numerusform>Alle %n Tage wiederholen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Repeat every %n Week(s)</source>
        <translation>
            <numerusform>Jede Woche wiederholen</numerusform>
            <numerusform>Alle %n Wochen wiederholen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Repeat every %n Month(s)</source>
        <translation>
            <numerusform>Jeden Monat wiederholen</numerusform>
            <numerusform>Alle %n Monate wiederholen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Repeat every %n Year(s)</source>
        <translation>
            <numerusform>Jedes Jahr wiederholen</numerusform>
            <numerusform>Alle %n Jahre wiederholen</numerusform>
        </translation>
    </message>
    <message>
        <source>Repeat every %1</source>
        <translation>Jeden %1 wiederholen</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Deaktiviert</translation>
    </message>
    <message>
        <source>Play once</source>
        <translation>Einmal abspielen</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <comment>the last two weekdays of a list</comment>
        <translation>%1 und %2</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <comment>weekdays of a list</comment>
        <translation>%1, %2</translation>
    </message>
</context>
<context>
    <name>AppSettings</name>
    <message>
        <source>The settings file %1 is too large to be Tidra&apos;s. Tidra starts with the default settings.</source>
        <translation>Die Einstellungsdatei %1 ist zu groß, um von Tidra zu stammen. Tidra startet mit den Standardeinstellungen.</translation>
    </message>
    <message>
        <source>The settings file %1 is too large to be Tidra&apos;s. It was moved aside as %2, and Tidra starts with the default settings.</source>
        <translation>Die Einstellungsdatei %1 ist zu groß, um von Tidra zu stammen. Sie wurde als %2 beiseitegelegt, und Tidra startet mit den Standardeinstellungen.</translation>
    </message>
</context>
<context>
    <name>FontsDialog</name>
    <message>
        <source>Fonts Library</source>
        <translation>Schriftenbibliothek</translation>
    </message>
    <message>
        <source>Font Sample</source>
        <translation>Schriftprobe</translation>
    </message>
</context>
<context>
    <name>HolidayDialog</name>
    <message>
        <source>Holiday</source>
        <translation>Feiertag</translation>
    </message>
    <message>
        <source>&amp;Type</source>
        <translation>&amp;Art</translation>
    </message>
    <message>
        <source>Vacation</source>
        <translation>Urlaub</translation>
    </message>
    <message>
        <source>&amp;Date</source>
        <translation>&amp;Datum</translation>
    </message>
    <message>
        <source>&amp;Start Date</source>
        <translation>Anfan&amp;gsdatum</translation>
    </message>
    <message>
        <source>&amp;End Date</source>
        <translation>&amp;Enddatum</translation>
    </message>
    <message>
        <source>Vacation &amp;Length</source>
        <translation>&amp;Urlaubsdauer</translation>
    </message>
    <message>
        <source>&amp;Name</source>
        <translation>&amp;Name</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Wrong vacation range</source>
        <translation>Falscher Urlaubszeitraum</translation>
    </message>
    <message>
        <source>Vacation can not finish before it&apos;s begin</source>
        <translation>Der Urlaub kann nicht vor seinem Beginn enden</translation>
    </message>
</context>
<context>
    <name>MainDialog</name>
    <message>
        <source>Tidra!!! Settings</source>
        <translation>Tidra!!! Einstellungen</translation>
    </message>
    <message>
        <source>Scroll up</source>
        <translation>Nach oben blättern</translation>
    </message>
    <message>
        <source>time and date</source>
        <translation>Datum und Uhrzeit</translation>
    </message>
    <message>
        <source>alarms</source>
        <translation>Wecker</translation>
    </message>
    <message>
        <source>timers and stopwatches</source>
        <translation>Timer und Stoppuhren</translation>
    </message>
    <message>
        <source>work schedule</source>
        <translation>Arbeitszeit</translation>
    </message>
    <message>
        <source>settings</source>
        <translation>Einstel­lungen</translation>
    </message>
    <message>
        <source>about</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Scroll down</source>
        <translation>Nach unten blättern</translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation>Datum und Uhrzeit</translation>
    </message>
    <message>
        <source>Current &amp;Date</source>
        <translation>Aktuelles &amp;Datum</translation>
    </message>
    <message>
        <source>Current &amp;Time</source>
        <translation>Aktuelle &amp;Uhrzeit</translation>
    </message>
    <message>
        <source>Alarms</source>
        <translation>Wecker</translation>
    </message>
    <message>
        <source>Add alarm</source>
        <translation>Wecker hinzufügen</translation>
    </message>
    <message>
        <source>Delete selected alarm</source>
        <translation>Gewählten Wecker löschen</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>k. A.</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Nachricht</translation>
    </message>
    <message>
        <source>Timers and stopwatches</source>
        <translation>Timer und Stoppuhren</translation>
    </message>
    <message>
        <source>Add timer or stopwatch</source>
        <translation>Timer oder Stoppuhr hinzufügen</translation>
    </message>
    <message>
        <source>Delete selected timer</source>
        <translation>Gewählten Timer löschen</translation>
    </message>
    <message>
        <source>Work schedule</source>
        <translation>Arbeitszeit</translation>
    </message>
    <message>
        <source>Show time to start of &amp;lunch</source>
        <translation>Zeit bis zur &amp;Mittagspause anzeigen</translation>
    </message>
    <message>
        <source>Show time to &amp;end of the day</source>
        <translation>Zeit bis &amp;Feierabend anzeigen</translation>
    </message>
    <message>
        <source>&amp;Hide time to end of the day till lunch finished</source>
        <translation>Zeit bis Feierabend &amp;erst nach der Mittagspause anzeigen</translation>
    </message>
    <message>
        <source>Show time to next h&amp;oliday</source>
        <translation>Zeit bis zum nächsten Feier&amp;tag anzeigen</translation>
    </message>
    <message>
        <source>Show time to start of &amp;vacation</source>
        <translation>Zeit bis zum &amp;Urlaub anzeigen</translation>
    </message>
    <message>
        <source>&lt;b&gt;Note: &lt;/b&gt;You can change your working schedule on settings page</source>
        <translation>&lt;b&gt;Hinweis: &lt;/b&gt;Ihre Arbeitszeiten ändern Sie auf der Seite „Einstellungen“</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>&amp;Tray Icon</source>
        <translation>&amp;Tray-Symbol</translation>
    </message>
    <message>
        <source>On &amp;Left Click</source>
        <translation>Bei &amp;Linksklick</translation>
    </message>
    <message>
        <source>Show Main Menu</source>
        <translation>Hauptmenü zeigen</translation>
    </message>
    <message>
        <source>Show Fast Actions Menu</source>
        <translation>Schnellmenü zeigen</translation>
    </message>
    <message>
        <source>Show Settings Dialog</source>
        <translation>Einstellungen zeigen</translation>
    </message>
    <message>
        <source>Add New Alarm</source>
        <translation>Neuer Wecker</translation>
    </message>
    <message>
        <source>Add New Timer</source>
        <translation>Neuer Timer</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Nichts</translation>
    </message>
    <message>
        <source>On &amp;Double Left Click</source>
        <translation>Bei &amp;Doppelklick</translation>
    </message>
    <message>
        <source>On &amp;Middle Click</source>
        <translation>Bei &amp;Mittelklick</translation>
    </message>
    <message>
        <source>On &amp;Right Click</source>
        <translation>Bei &amp;Rechtsklick</translation>
    </message>
    <message>
        <source>&amp;Show this dialog on startup</source>
        <translation>Dieses Fenster beim &amp;Start zeigen</translation>
    </message>
    <message>
        <source>Start Tidra!!! o&amp;n system startup</source>
        <translation>Tidra!!! mit dem System starte&amp;n</translation>
    </message>
    <message>
        <source>&amp;Alarms</source>
        <translation>&amp;Wecker</translation>
    </message>
    <message>
        <source>&amp;Display time</source>
        <translation>Anzeige&amp;dauer</translation>
    </message>
    <message>
        <source>sec</source>
        <translation>s</translation>
    </message>
    <message>
        <source>Display alarms as &amp;baloon message</source>
        <translation>Wecker als &amp;Sprechblase zeigen</translation>
    </message>
    <message>
        <source>S&amp;hade fired alarms</source>
        <translation>Ausgelöste Wecker &amp;verblassen lassen</translation>
    </message>
    <message>
        <source>Shadin&amp;g time</source>
        <translation>Verblass&amp;zeit</translation>
    </message>
    <message>
        <source>D&amp;elete disabled alarms</source>
        <translation>Deaktivierte Wecker &amp;löschen</translation>
    </message>
    <message>
        <source>&amp;Play sound</source>
        <translation>T&amp;on abspielen</translation>
    </message>
    <message>
        <source>Choose the alarm sound</source>
        <translation>Weckton wählen</translation>
    </message>
    <message>
        <source>Display in &amp;compact form</source>
        <translation>&amp;Kompakt anzeigen</translation>
    </message>
    <message>
        <source>T&amp;imers</source>
        <translation>Tim&amp;er</translation>
    </message>
    <message>
        <source>Acti&amp;vate by click</source>
        <translation>Durch &amp;Klick aktivieren</translation>
    </message>
    <message>
        <source>Show timer &amp;captions</source>
        <translation>Beschriftungen der Timer &amp;anzeigen</translation>
    </message>
    <message>
        <source>S&amp;hade timers/stopwatches when inactive</source>
        <translation>Inaktive Timer/Stoppuhren &amp;verblassen lassen</translation>
    </message>
    <message>
        <source>Start alarm after timer &amp;finished</source>
        <translation>Wecker nach Ablauf des Timers &amp;starten</translation>
    </message>
    <message>
        <source>Si&amp;ze of digits</source>
        <translation>&amp;Ziffergröße</translation>
    </message>
    <message>
        <source>Small</source>
        <translation>Klein</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Big</source>
        <translation>Groß</translation>
    </message>
    <message>
        <source>Choose the timer sound</source>
        <translation>Timer-Ton wählen</translation>
    </message>
    <message>
        <source>&amp;Default skin</source>
        <translation>Standard-Ski&amp;n</translation>
    </message>
    <message>
        <source>Choose the digit skin</source>
        <translation>Ziffern-Skin wählen</translation>
    </message>
    <message>
        <source>&amp;Work</source>
        <translation>Ar&amp;beit</translation>
    </message>
    <message>
        <source>S&amp;chedule</source>
        <translation>&amp;Zeitplan</translation>
    </message>
    <message>
        <source>Work begin</source>
        <translation>Arbeitsbeginn</translation>
    </message>
    <message>
        <source>Lunch begin</source>
        <translation>Pausenbeginn</translation>
    </message>
    <message>
        <source>Lunch end</source>
        <translation>Pausenende</translation>
    </message>
    <message>
        <source>Work end</source>
        <translation>Arbeitsende</translation>
    </message>
    <message>
        <source>Su&amp;n</source>
        <translation>&amp;So</translation>
    </message>
    <message>
        <source>&amp;Mon</source>
        <translation>&amp;Mo</translation>
    </message>
    <message>
        <source>Tu&amp;e</source>
        <translation>&amp;Di</translation>
    </message>
    <message>
        <source>We&amp;d</source>
        <translation>M&amp;i</translation>
    </message>
    <message>
        <source>Th&amp;u</source>
        <translation>D&amp;o</translation>
    </message>
    <message>
        <source>&amp;Fri</source>
        <translation>F&amp;r</translation>
    </message>
    <message>
        <source>&amp;Sat</source>
        <translation>S&amp;a</translation>
    </message>
    <message>
        <source>Work with no &amp;lunch</source>
        <translation>Arbeit ohne Mittags&amp;pause</translation>
    </message>
    <message>
        <source>&amp;Holidays</source>
        <translation>&amp;Feiertage</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Add holiday or vacation</source>
        <translation>Feiertag oder Urlaub hinzufügen</translation>
    </message>
    <message>
        <source>Delete selected holiday</source>
        <translation>Gewählten Eintrag löschen</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>&lt;i&gt;Designed and built by Morvane&lt;/i&gt;</source>
        <translation>&lt;i&gt;Entworfen und gebaut von Morvane&lt;/i&gt;</translation>
    </message>
    <message>
        <source>&amp;Visit Homepage</source>
        <translation>&amp;Homepage besuchen</translation>
    </message>
    <message>
        <source>&amp;E-mail</source>
        <translation>&amp;E-Mail</translation>
    </message>
    <message>
        <source>Hide this window</source>
        <translation>Fenster ausblenden</translation>
    </message>
    <message>
        <source>Also send alarms to the &amp;notification area</source>
        <translation>Wecker auch an de&amp;n Benachrichtigungsbereich senden</translation>
    </message>
    <message>
        <source>&amp;Repeat the sound until the pop-up is closed</source>
        <translation>Ton wiede&amp;rholen, bis das Fenster geschlossen wird</translation>
    </message>
    <message>
        <source>Re&amp;mind later after</source>
        <translation>Später er&amp;innern nach</translation>
    </message>
    <message>
        <source>Spans separated by commas, such as 10m, 1h30m, 2d</source>
        <translation>Zeitspannen, durch Kommas getrennt, etwa 10m, 1h30m, 2d</translation>
    </message>
    <message>
        <source>&amp;Import…</source>
        <translation>&amp;Importieren…</translation>
    </message>
    <message>
        <source>Add the events of an iCalendar file as alarms</source>
        <translation>Die Termine einer iCalendar-Datei als Wecker hinzufügen</translation>
    </message>
    <message>
        <source>E&amp;xport…</source>
        <translation>E&amp;xportieren…</translation>
    </message>
    <message>
        <source>Write all alarms to an iCalendar file</source>
        <translation>Alle Wecker in eine iCalendar-Datei schreiben</translation>
    </message>
    <message>
        <source>I&amp;mport…</source>
        <translation>I&amp;mportieren…</translation>
    </message>
    <message>
        <source>Add the all-day events of an iCalendar file as holidays and vacations</source>
        <translation>Die ganztägigen Termine einer iCalendar-Datei als Feiertage und Urlaub hinzufügen</translation>
    </message>
    <message>
        <source>Su&amp;bscribe…</source>
        <translation>Abonnie&amp;ren…</translation>
    </message>
    <message>
        <source>Follow a calendar of days off (a file or an http(s) address), refreshed every day</source>
        <translation>Einem Kalender freier Tage folgen (einer Datei oder einer http(s)-Adresse), täglich aufgefrischt</translation>
    </message>
    <message>
        <source>iCalendar files (*.ics);;All files (*)</source>
        <translation>iCalendar-Dateien (*.ics);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Holidays</source>
        <translation>Feiertage</translation>
    </message>
    <message>
        <source>This day comes from the calendar &quot;%1&quot; and changes only with it.</source>
        <translation>Dieser Tag stammt aus dem Kalender „%1“ und ändert sich nur mit ihm.</translation>
    </message>
    <message>
        <source>%1, from the calendar &quot;%2&quot;</source>
        <translation>%1, aus dem Kalender „%2“</translation>
    </message>
</context>
<context>
    <name>OtherDelayDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Später erinnern</translation>
    </message>
    <message>
        <source>&amp;Delay</source>
        <translation>&amp;Verzögerung</translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation>Minuten</translation>
    </message>
    <message>
        <source>Hours</source>
        <translation>Stunden</translation>
    </message>
    <message>
        <source>Days</source>
        <translation>Tage</translation>
    </message>
    <message>
        <source>Weeks</source>
        <translation>Wochen</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>weeks</source>
        <translation>Wochen</translation>
    </message>
    <message>
        <source>days</source>
        <translation>Tage</translation>
    </message>
    <message>
        <source>hours</source>
        <translation>Stunden</translation>
    </message>
    <message>
        <source>min</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>sec</source>
        <translation>Sek</translation>
    </message>
    <message>
        <source>1/100</source>
        <translation>1/100</translation>
    </message>
    <message>
        <source>WEEKS</source>
        <translation>WOCHEN</translation>
    </message>
    <message>
        <source>DAYS</source>
        <translation>TAGE</translation>
    </message>
    <message>
        <source>HOURS</source>
        <translation>STD</translation>
    </message>
    <message>
        <source>MIN</source>
        <translation>MIN</translation>
    </message>
    <message>
        <source>SEC</source>
        <translation>SEK</translation>
    </message>
</context>
<context>
    <name>SkinPlugin</name>
    <message>
        <source>Classic</source>
        <translation>Klassisch</translation>
    </message>
    <message>
        <source>LCD</source>
        <translation>LCD</translation>
    </message>
    <message>
        <source>LED Matrix</source>
        <translation>LED-Matrix</translation>
    </message>
</context>
<context>
    <name>TimerDialog</name>
    <message>
        <source>Timer/Stopwatch</source>
        <translation>Timer/Stoppuhr</translation>
    </message>
    <message>
        <source>N&amp;ame</source>
        <translation>&amp;Name</translation>
    </message>
    <message>
        <source>&amp;Timer</source>
        <translation>Time&amp;r</translation>
    </message>
    <message>
        <source>&amp;Stopwatch</source>
        <translation>Sto&amp;ppuhr</translation>
    </message>
    <message>
        <source>Ty&amp;pe</source>
        <translation>T&amp;yp</translation>
    </message>
    <message>
        <source>Show time to</source>
        <translation>Zeit anzeigen bis</translation>
    </message>
    <message>
        <source>Count for</source>
        <translation>Zählen für</translation>
    </message>
    <message>
        <source>&amp;date</source>
        <translation>&amp;Datum</translation>
    </message>
    <message>
        <source>t&amp;ime</source>
        <translation>U&amp;hrzeit</translation>
    </message>
    <message>
        <source>&amp;weeks</source>
        <translation>Wo&amp;chen</translation>
    </message>
    <message>
        <source>&amp;days</source>
        <translation>T&amp;age</translation>
    </message>
    <message>
        <source>&amp;hours</source>
        <translation>S&amp;tunden</translation>
    </message>
    <message>
        <source>m&amp;ins</source>
        <translation>&amp;Minuten</translation>
    </message>
    <message>
        <source>&amp;Continue counting after timer finished</source>
        <translation>Nach Ablauf &amp;weiterzählen</translation>
    </message>
    <message>
        <source>Display format</source>
        <translation>Anzeigeformat</translation>
    </message>
    <message>
        <source>Sh&amp;ort</source>
        <translation>&amp;Kurz</translation>
    </message>
    <message>
        <source>&amp;Full</source>
        <translation>&amp;Vollständig</translation>
    </message>
    <message>
        <source>C&amp;ustom</source>
        <translation>&amp;Benutzerdefiniert</translation>
    </message>
    <message>
        <source>wee&amp;k</source>
        <translation>W&amp;oche</translation>
    </message>
    <message>
        <source>da&amp;y</source>
        <translation>Ta&amp;g</translation>
    </message>
    <message>
        <source>hou&amp;r</source>
        <translation>St&amp;unde</translation>
    </message>
    <message>
        <source>mi&amp;n</source>
        <translation>M&amp;in</translation>
    </message>
    <message>
        <source>s&amp;ec</source>
        <translation>S&amp;ek</translation>
    </message>
    <message>
        <source>&amp;msec</source>
        <translation>m&amp;s</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>A&amp;lert sound</source>
        <translation>K&amp;lang beim Ablauf</translation>
    </message>
</context>
<context>
    <name>Weekdays</name>
    <message>
        <source>Sunday</source>
        <translation>Sonntag</translation>
    </message>
    <message>
        <source>Monday</source>
        <translation>Montag</translation>
    </message>
    <message>
        <source>Tuesday</source>
        <translation>Dienstag</translation>
    </message>
    <message>
        <source>Wednesday</source>
        <translation>Mittwoch</translation>
    </message>
    <message>
        <source>Thursday</source>
        <translation>Donnerstag</translation>
    </message>
    <message>
        <source>Friday</source>
        <translation>Freitag</translation>
    </message>
    <message>
        <source>Saturday</source>
        <translation>Samstag</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Application couldn&apos;t detect any system tray on this system.</source>
        <translation>Auf diesem System wurde kein Infobereich (System-Tray) gefunden.</translation>
    </message>
    <message>
        <source>Tidra cannot start: %1.</source>
        <translation>Tidra kann nicht starten: %1.</translation>
    </message>
    <message>
        <source>Tidra is not running.</source>
        <translation>Tidra läuft nicht.</translation>
    </message>
    <message>
        <source>Tidra runs but did not answer in time; it may be busy. Try again.</source>
        <translation>Tidra läuft, hat aber nicht rechtzeitig geantwortet; es ist vielleicht beschäftigt. Bitte erneut versuchen.</translation>
    </message>
    <message>
        <source>There is no display to show Tidra on: DISPLAY and WAYLAND_DISPLAY are not set.</source>
        <translation>Es gibt keinen Bildschirm, auf dem Tidra erscheinen kann: DISPLAY und WAYLAND_DISPLAY sind nicht gesetzt.</translation>
    </message>
    <message>
        <source>Tidra runs already; its window is brought forward.</source>
        <translation>Tidra läuft bereits; sein Fenster wird nach vorn geholt.</translation>
    </message>
    <message>
        <source>Cannot open the display &quot;%1&quot;.</source>
        <translation>Der Bildschirm „%1“ kann nicht geöffnet werden.</translation>
    </message>
</context>
<context>
    <name>td</name>
    <message>
        <source>it is not a folder</source>
        <translation>es ist kein Ordner</translation>
    </message>
    <message>
        <source>it belongs to another user</source>
        <translation>er gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>other users can enter it (mode %1)</source>
        <translation>andere Benutzer haben Zugriff darauf (Modus %1)</translation>
    </message>
    <message>
        <source>it is a symbolic link</source>
        <translation>es ist eine symbolische Verknüpfung</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>there is no private folder for it (%1)</source>
        <translation>es gibt keinen privaten Ordner dafür (%1)</translation>
    </message>
    <message>
        <source>Remind in 5 minutes</source>
        <translation>In 5 Minuten erinnern</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>the file does not exist</source>
        <translation>die Datei existiert nicht</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>es ist ein Ordner</translation>
    </message>
    <message>
        <source>the file cannot be read</source>
        <translation>die Datei kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>die Datei ist leer</translation>
    </message>
    <message>
        <source>it is not a WAV, OGG, MP3 or FLAC sound</source>
        <translation>es ist kein WAV-, OGG-, MP3- oder FLAC-Klang</translation>
    </message>
    <message>
        <source>Sounds (*.wav *.ogg *.oga *.mp3 *.flac);;All files (*)</source>
        <translation>Klänge (*.wav *.ogg *.oga *.mp3 *.flac);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>it holds no sound</source>
        <translation>sie enthält keinen Klang</translation>
    </message>
    <message>
        <source>there is no audio output to play sounds on</source>
        <translation>es gibt keine Audioausgabe für Klänge</translation>
    </message>
</context>
<context>
    <name>td::AlarmCommands</name>
    <message>
        <source>The command of alarm &quot;%1&quot; could not be started: %2.</source>
        <translation>Der Befehl des Weckers „%1“ konnte nicht gestartet werden: %2.</translation>
    </message>
    <message numerus="yes">
        <source>The command of alarm &quot;%1&quot; ran longer than %n second(s) and was ended.</source>
        <translation>
            <numerusform>Der Befehl des Weckers „%1“ lief länger als %n Sekunde und wurde beendet.</numerusform>
            <numerusform>Der Befehl des Weckers „%1“ lief länger als %n Sekunden und wurde beendet.</numerusform>
        </translation>
    </message>
    <message>
        <source>The command of alarm &quot;%1&quot; ended abnormally.</source>
        <translation>Der Befehl des Weckers „%1“ endete unerwartet.</translation>
    </message>
    <message>
        <source>The command of alarm &quot;%1&quot; exited with code %2.</source>
        <translation>Der Befehl des Weckers „%1“ endete mit dem Rückgabewert %2.</translation>
    </message>
</context>
<context>
    <name>td::AlarmDlg</name>
    <message>
        <source>Runs as user %1 when the alarm rings (not when it reminds again), directly and without a shell: quotes group words; pipes, redirections and $VARIABLES are not understood. It finds the alarm in TIDRA_ALARM_NAME, TIDRA_ALARM_MESSAGE and TIDRA_ALARM_TIME and is ended after a minute.</source>
        <translation>Läuft als Benutzer %1, wenn der Wecker klingelt (nicht bei einer Erinnerung), direkt und ohne Shell: Anführungszeichen fassen Wörter zusammen; Pipes, Umleitungen und $VARIABLEN werden nicht verstanden. Der Wecker steht in TIDRA_ALARM_NAME, TIDRA_ALARM_MESSAGE und TIDRA_ALARM_TIME; nach einer Minute wird das Programm beendet.</translation>
    </message>
    <message>
        <source>No such program</source>
        <translation>Kein solches Programm</translation>
    </message>
    <message>
        <source>The program &quot;%1&quot; cannot be found or is not executable.
Please choose the program to run.</source>
        <translation>Das Programm „%1“ wurde nicht gefunden oder ist nicht ausführbar.
Bitte wählen Sie das auszuführende Programm.</translation>
    </message>
    <message>
        <source>Choose the program to run</source>
        <translation>Auszuführendes Programm wählen</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Wecker</translation>
    </message>
    <message>
        <source>This alarm comes from the calendar &quot;%1&quot; and changes only with it.</source>
        <translation>Dieser Wecker stammt aus dem Kalender „%1“ und ändert sich nur mit ihm.</translation>
    </message>
</context>
<context>
    <name>td::AlarmModel</name>
    <message>
        <source>Tidra keeps at most %L1 alarms. Delete some alarms you no longer need, then add this one again.</source>
        <translation>Tidra verwaltet höchstens %L1 Alarme. Löschen Sie Alarme, die Sie nicht mehr brauchen, und fügen Sie diesen dann erneut hinzu.</translation>
    </message>
</context>
<context>
    <name>td::AlarmMsgDlg</name>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Hide</source>
        <translation>&amp;Ausblenden</translation>
    </message>
    <message>
        <source>5 Minutes</source>
        <translation>5 Minuten</translation>
    </message>
    <message>
        <source>1 Hour</source>
        <translation>1 Stunde</translation>
    </message>
    <message>
        <source>1 Day</source>
        <translation>1 Tag</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Andere ...</translation>
    </message>
    <message>
        <source>&amp;Remind later...</source>
        <translation>&amp;Später erinnern ...</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Wecker</translation>
    </message>
    <message>
        <source>Cannot add such delay, because next scheduled alarm was planned earlier</source>
        <translation>Diese Verzögerung ist nicht möglich, weil der nächste geplante Wecker früher kommt</translation>
    </message>
    <message>
        <source>&amp;Open the alarm list</source>
        <translation>Weckerliste ö&amp;ffnen</translation>
    </message>
    <message>
        <source>More alarms</source>
        <translation>Weitere Wecker</translation>
    </message>
    <message numerus="yes">
        <source>%Ln more alarm(s) went off. Click here to open the alarm list.</source>
        <translation>
            <numerusform>%Ln weiterer Wecker hat geklingelt. Hier klicken, um die Weckerliste zu öffnen.</numerusform>
            <numerusform>%Ln weitere Wecker haben geklingelt. Hier klicken, um die Weckerliste zu öffnen.</numerusform>
        </translation>
    </message>
    <message>
        <source>This alarm was due at %1 today.</source>
        <translation>Dieser Wecker war heute um %1 fällig.</translation>
    </message>
    <message>
        <source>This alarm was due at %1 yesterday.</source>
        <translation>Dieser Wecker war gestern um %1 fällig.</translation>
    </message>
    <message>
        <source>This alarm was due at %1 on %2.</source>
        <translation>Dieser Wecker war am %2 um %1 fällig.</translation>
    </message>
    <message>
        <source>Alarm: %1</source>
        <translation>Wecker: %1</translation>
    </message>
    <message>
        <source>Remind later, edit, and more</source>
        <translation>Später erinnern, bearbeiten und mehr</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Ringing clock</source>
        <translation>Klingelnder Wecker</translation>
    </message>
    <message>
        <source>No sound: %1.</source>
        <translation>Kein Klang: %1.</translation>
    </message>
</context>
<context>
    <name>td::AlarmPopups</name>
    <message>
        <source>Alarm: %1</source>
        <translation>Wecker: %1</translation>
    </message>
    <message>
        <source>Alarms</source>
        <translation>Wecker</translation>
    </message>
    <message numerus="yes">
        <source>and %Ln more alarm(s)</source>
        <translation>
            <numerusform>und %Ln weiterer Wecker</numerusform>
            <numerusform>und %Ln weitere Wecker</numerusform>
        </translation>
    </message>
    <message>
        <source>Timer %1 finished</source>
        <translation>Timer %1 abgelaufen</translation>
    </message>
</context>
<context>
    <name>td::BuiltinDigits</name>
    <message>
        <source>Built-in digits</source>
        <translation>Eingebaute Ziffern</translation>
    </message>
    <message>
        <source>weeks</source>
        <translation>Wochen</translation>
    </message>
    <message>
        <source>days</source>
        <translation>Tage</translation>
    </message>
    <message>
        <source>hours</source>
        <translation>Stunden</translation>
    </message>
    <message>
        <source>min</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>sec</source>
        <translation>Sek</translation>
    </message>
    <message>
        <source>1/100</source>
        <translation>1/100</translation>
    </message>
</context>
<context>
    <name>td::CalendarSync</name>
    <message>
        <source>The settings cannot be written.</source>
        <translation>Die Einstellungen können nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The password cannot be kept in the desktop&apos;s keyring: %1.</source>
        <translation>Das Passwort kann nicht im Schlüsselbund der Arbeitsumgebung aufbewahrt werden: %1.</translation>
    </message>
    <message>
        <source>No calendar server is set up.</source>
        <translation>Es ist kein Kalenderserver eingerichtet.</translation>
    </message>
    <message>
        <source>Last sync: %1.</source>
        <translation>Letzter Abgleich: %1.</translation>
    </message>
    <message>
        <source>Not synced yet.</source>
        <translation>Noch nicht abgeglichen.</translation>
    </message>
    <message>
        <source>The last attempt failed: %1</source>
        <translation>Der letzte Versuch ist gescheitert: %1</translation>
    </message>
    <message>
        <source>No password is kept for %1; enter it under Settings, Sync.</source>
        <translation>Für %1 ist kein Passwort hinterlegt; geben Sie es unter Einstellungen, Abgleich ein.</translation>
    </message>
    <message>
        <source>The password cannot be read from the desktop&apos;s keyring: %1.</source>
        <translation>Das Passwort kann nicht aus dem Schlüsselbund der Arbeitsumgebung gelesen werden: %1.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; was changed here and in the calendar: both are kept, the calendar&apos;s switched off as &quot;%2&quot;.</source>
        <translation>„%1“ wurde hier und im Kalender geändert: Beide bleiben erhalten, die Fassung des Kalenders ausgeschaltet als „%2“.</translation>
    </message>
    <message>
        <source>What was synced cannot be written: %1</source>
        <translation>Der Stand des Abgleichs kann nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>Calendar &quot;%1&quot;: %2</source>
        <translation>Kalender „%1“: %2</translation>
    </message>
    <message>
        <source>The synced alarms cannot be saved: %1. They are kept in memory and synced again.</source>
        <translation>Die abgeglichenen Wecker können nicht gespeichert werden: %1. Sie bleiben im Speicher und werden erneut abgeglichen.</translation>
    </message>
</context>
<context>
    <name>td::CalendarSyncPage</name>
    <message>
        <source>&amp;Find calendars</source>
        <translation>Kalender &amp;finden</translation>
    </message>
    <message>
        <source>kept in the desktop&apos;s keyring</source>
        <translation>im Schlüsselbund der Arbeitsumgebung aufbewahrt</translation>
    </message>
    <message>
        <source>Ser&amp;ver (CalDAV):</source>
        <translation>Kalender&amp;server (CalDAV):</translation>
    </message>
    <message>
        <source>&amp;User name:</source>
        <translation>Benutzer&amp;name:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Passwort:</translation>
    </message>
    <message>
        <source>Calendar for Tidra&apos;s a&amp;larms:</source>
        <translation>Kalender für Tidras We&amp;cker:</translation>
    </message>
    <message>
        <source>Looking for calendars…</source>
        <translation>Kalender werden gesucht …</translation>
    </message>
    <message>
        <source>The server holds no calendar for events.</source>
        <translation>Der Server hat keinen Kalender für Termine.</translation>
    </message>
    <message>
        <source>Choose the calendar for Tidra&apos;s alarms.</source>
        <translation>Wählen Sie den Kalender für Tidras Wecker.</translation>
    </message>
    <message>
        <source>&amp;Save and sync</source>
        <translation>Speichern und &amp;abgleichen</translation>
    </message>
    <message>
        <source>Calendars whose reminders &amp;ring here (read-only):</source>
        <translation>Kalender, deren Erinnerungen hier &amp;klingeln (nur lesen):</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>(keiner)</translation>
    </message>
</context>
<context>
    <name>td::EventStore</name>
    <message>
        <source>unknown error</source>
        <translation>unbekannter Fehler</translation>
    </message>
    <message>
        <source>Settings Error</source>
        <translation>Einstellungsfehler</translation>
    </message>
    <message>
        <source>Can&apos;t create settings folder %1. Check access rights.</source>
        <translation>Der Einstellungsordner %1 kann nicht angelegt werden. Bitte prüfen Sie die Zugriffsrechte.</translation>
    </message>
    <message>
        <source>Tidra could not read all of %1: it is too large. No copy of it could be kept, so Tidra leaves it as it is and does not save changes to it.</source>
        <translation>Tidra konnte %1 nicht vollständig lesen: Die Datei ist zu groß. Es ließ sich keine Kopie davon anlegen, daher lässt Tidra sie unverändert und speichert keine Änderungen daran.</translation>
    </message>
    <message>
        <source>Tidra could not read all of %1: it is too large. The whole file is kept as %2.</source>
        <translation>Tidra konnte %1 nicht vollständig lesen: Die Datei ist zu groß. Die ganze Datei wird als %2 aufbewahrt.</translation>
    </message>
    <message>
        <source>cannot create the folder %1</source>
        <translation>der Ordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>Tidra saved your alarms again.</source>
        <translation>Tidra hat Ihre Wecker wieder gespeichert.</translation>
    </message>
    <message>
        <source>Tidra could not save your alarms: %1. They are kept in memory and saved again when possible.</source>
        <translation>Tidra konnte Ihre Wecker nicht speichern: %1. Sie bleiben im Speicher und werden gespeichert, sobald es wieder möglich ist.</translation>
    </message>
    <message>
        <source>Tidra</source>
        <translation>Tidra</translation>
    </message>
    <message>
        <source>Tidra could not save your alarms: %1.

Quit anyway and lose the changes made since the last save?</source>
        <translation>Tidra konnte Ihre Wecker nicht speichern: %1.

Trotzdem beenden und die Änderungen seit dem letzten Speichern verwerfen?</translation>
    </message>
    <message>
        <source>&amp;Quit Anyway</source>
        <translation>Trotzdem &amp;beenden</translation>
    </message>
    <message>
        <source>&amp;Keep Running</source>
        <translation>&amp;Weiterlaufen lassen</translation>
    </message>
</context>
<context>
    <name>td::FontsLibrary</name>
    <message>
        <source>No digit fonts are installed.</source>
        <translation>Es sind keine Ziffernschriften installiert.</translation>
    </message>
</context>
<context>
    <name>td::HolidayFeed</name>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1 cannot be reached: %2</source>
        <translation>%1 ist nicht erreichbar: %2</translation>
    </message>
    <message>
        <source>The calendar %1 was not taken: %2</source>
        <translation>Der Kalender %1 wurde nicht übernommen: %2</translation>
    </message>
    <message>
        <source>The copy of %1 cannot be kept: %2</source>
        <translation>Die Kopie von %1 kann nicht gespeichert werden: %2</translation>
    </message>
</context>
<context>
    <name>td::MainSettingsDlg</name>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Only one instance of Tidra!!! can be run at the same time!</source>
        <translation>Es kann immer nur eine Instanz von Tidra!!! laufen!</translation>
    </message>
    <message>
        <source>Version %1.%2.%3</source>
        <translation>Version %1.%2.%3</translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation>Datum und Uhrzeit</translation>
    </message>
    <message>
        <source>Alarms</source>
        <translation>Wecker</translation>
    </message>
    <message>
        <source>Timers and countdowns</source>
        <translation>Timer und Countdowns</translation>
    </message>
    <message>
        <source>Work schedule</source>
        <translation>Arbeitszeit</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Show alarm pop-ups</source>
        <translation>Wecker-Fenster zeigen</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Add New Alarm</source>
        <translation>Neuer Wecker</translation>
    </message>
    <message>
        <source>Add New Timer</source>
        <translation>Neuer Timer</translation>
    </message>
    <message>
        <source>Home Site</source>
        <translation>Homepage</translation>
    </message>
    <message>
        <source>Tidra!!! Time Manager:</source>
        <translation>Tidra!!! Zeitmanager:</translation>
    </message>
    <message>
        <source>Use this icon to setup alarms and timers</source>
        <translation>Über dieses Symbol richten Sie Wecker und Timer ein</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>k. A.</translation>
    </message>
    <message>
        <source>Alarm is disabled</source>
        <translation>Wecker ist deaktiviert</translation>
    </message>
    <message>
        <source>Next alarm: %1</source>
        <translation>Nächster Wecker: %1</translation>
    </message>
    <message>
        <source>Alarm finished</source>
        <translation>Wecker abgelaufen</translation>
    </message>
    <message>
        <source>Timer
Show time to: %1
</source>
        <translation>Timer
Zeit anzeigen bis: %1
</translation>
    </message>
    <message>
        <source>Continue count as stopwatch after timer finished</source>
        <translation>Nach Ablauf als Stoppuhr weiterzählen</translation>
    </message>
    <message>
        <source>Stopwatch
Show time from %1
</source>
        <translation>Stoppuhr
Zeit anzeigen ab %1
</translation>
    </message>
    <message>
        <source>Time to vacation</source>
        <translation>Zeit bis zum Urlaub</translation>
    </message>
    <message>
        <source>Time to end of work</source>
        <translation>Zeit bis Feierabend</translation>
    </message>
    <message>
        <source>Time to begin of lunch</source>
        <translation>Zeit bis zur Mittagspause</translation>
    </message>
    <message>
        <source>Time to holiday</source>
        <translation>Zeit bis zum Feiertag</translation>
    </message>
    <message>
        <source>This sound cannot be played: %1.</source>
        <translation>Dieser Klang kann nicht abgespielt werden: %1.</translation>
    </message>
    <message>
        <source>Reminder: %1</source>
        <translation>Erinnerung: %1</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Wecker</translation>
    </message>
    <message>
        <source>Not understood: %1. Give spans such as 10m, 1h30m or 2d, separated by commas.</source>
        <translation>Nicht verstanden: %1. Geben Sie Zeitspannen wie 10m, 1h30m oder 2d an, durch Kommas getrennt.</translation>
    </message>
    <message>
        <source>TIME MANAGER</source>
        <comment>the subtitle under the name</comment>
        <translation>ZEITMANAGER</translation>
    </message>
    <message>
        <source>Tidra!!! Time Manager</source>
        <translation>Tidra!!! Zeitmanager</translation>
    </message>
    <message>
        <source>Alarm sound file</source>
        <translation>Klangdatei der Wecker</translation>
    </message>
    <message>
        <source>Timer sound file</source>
        <translation>Klangdatei der Timer</translation>
    </message>
    <message>
        <source>Previous month</source>
        <translation>Voriger Monat</translation>
    </message>
    <message>
        <source>Next month</source>
        <translation>Nächster Monat</translation>
    </message>
    <message>
        <source>Export alarms</source>
        <translation>Wecker exportieren</translation>
    </message>
    <message>
        <source>Import alarms</source>
        <translation>Wecker importieren</translation>
    </message>
    <message>
        <source>Import holidays</source>
        <translation>Feiertage importieren</translation>
    </message>
    <message>
        <source>Tidra could not read %1: %2.</source>
        <translation>Tidra konnte %1 nicht lesen: %2.</translation>
    </message>
    <message>
        <source>Nothing was imported from %1: %2</source>
        <translation>Aus %1 wurde nichts importiert: %2</translation>
    </message>
    <message numerus="yes">
        <source>%n day(s) off imported from %1.</source>
        <translation>
            <numerusform>%n freier Tag aus %1 importiert.</numerusform>
            <numerusform>%n freie Tage aus %1 importiert.</numerusform>
        </translation>
    </message>
    <message>
        <source>Left out &quot;%1&quot;: %2.</source>
        <translation>Ausgelassen „%1“: %2.</translation>
    </message>
    <message>
        <source>Calendar of days off</source>
        <translation>Kalender freier Tage</translation>
    </message>
    <message>
        <source>An .ics file or an http(s) address, refreshed every day; empty for none:</source>
        <translation>Eine .ics-Datei oder eine http(s)-Adresse, täglich aufgefrischt; leer für keine:</translation>
    </message>
    <message>
        <source>Undo deleting the alarm</source>
        <translation>Löschen des Weckers rückgängig machen</translation>
    </message>
    <message>
        <source>Undo deleting the timer</source>
        <translation>Löschen des Timers rückgängig machen</translation>
    </message>
    <message>
        <source>Undo deleting the holiday or vacation</source>
        <translation>Löschen des Feiertags oder Urlaubs rückgängig machen</translation>
    </message>
    <message>
        <source>Bring the deleted alarm back (%1)</source>
        <translation>Den gelöschten Wecker zurückholen (%1)</translation>
    </message>
    <message>
        <source>Bring the deleted timer back, with its window (%1)</source>
        <translation>Den gelöschten Timer samt Fenster zurückholen (%1)</translation>
    </message>
    <message>
        <source>Bring the deleted holiday or vacation back (%1)</source>
        <translation>Den gelöschten Feiertag oder Urlaub zurückholen (%1)</translation>
    </message>
    <message>
        <source>S&amp;ync</source>
        <translation>Ab&amp;gleich</translation>
    </message>
</context>
<context>
    <name>td::SingleInstance</name>
    <message>
        <source>cannot lock %1: %2</source>
        <translation>%1 kann nicht gesperrt werden: %2</translation>
    </message>
    <message>
        <source>cannot lock %1: process %2 holds it and does not answer</source>
        <translation>%1 kann nicht gesperrt werden: Prozess %2 hält die Sperre und antwortet nicht</translation>
    </message>
    <message>
        <source>cannot lock %1: another process holds it and does not answer</source>
        <translation>%1 kann nicht gesperrt werden: ein anderer Prozess hält die Sperre und antwortet nicht</translation>
    </message>
    <message>
        <source>a folder with files in it is in the way</source>
        <translation>ein Ordner mit Dateien ist im Weg</translation>
    </message>
    <message>
        <source>it keeps changing</source>
        <translation>es ändert sich ständig</translation>
    </message>
    <message>
        <source>it cannot be written</source>
        <translation>es kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>a file that is not Tidra&apos;s is in the way</source>
        <translation>eine Datei, die nicht von Tidra ist, ist im Weg</translation>
    </message>
    <message>
        <source>cannot listen on %1: %2</source>
        <translation>%1 kann nicht als Socket dienen: %2</translation>
    </message>
</context>
<context>
    <name>td::SoundChoice</name>
    <message>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keiner</translation>
    </message>
    <message>
        <source>Choose a file...</source>
        <translation>Datei wählen...</translation>
    </message>
    <message>
        <source>&quot;Default&quot; plays the sound chosen in the settings</source>
        <translation>„Standard“ spielt den in den Einstellungen gewählten Klang</translation>
    </message>
    <message>
        <source>Select Sound File</source>
        <translation>Klangdatei wählen</translation>
    </message>
    <message>
        <source>This sound cannot be played: %1.</source>
        <translation>Dieser Klang kann nicht abgespielt werden: %1.</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
</context>
<context>
    <name>td::TimerMsgDlg</name>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Hide</source>
        <translation>&amp;Ausblenden</translation>
    </message>
    <message>
        <source>&amp;Reset</source>
        <translation>&amp;Zurücksetzen</translation>
    </message>
    <message>
        <source>Res&amp;tart</source>
        <translation>Neu s&amp;tarten</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>&amp;Pause</translation>
    </message>
    <message>
        <source>&amp;Lap</source>
        <translation>&amp;Runde</translation>
    </message>
    <message>
        <source>Lap &amp;times</source>
        <translation>Runden&amp;zeiten</translation>
    </message>
    <message>
        <source>Res&amp;ume</source>
        <translation>&amp;Weiter</translation>
    </message>
    <message>
        <source>Lap %1: %2 (+%3)</source>
        <translation>Runde %1: %2 (+%3)</translation>
    </message>
</context>
<context>
    <name>td::UndoButton</name>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
</context>
<context>
    <name>td::caldav</name>
    <message>
        <source>%1 (conflict)</source>
        <translation>%1 (Konflikt)</translation>
    </message>
    <message>
        <source>The server was not found; check its address.</source>
        <translation>Der Server wurde nicht gefunden; prüfen Sie seine Adresse.</translation>
    </message>
    <message>
        <source>The server does not answer; it may be down.</source>
        <translation>Der Server antwortet nicht; vielleicht ist er nicht in Betrieb.</translation>
    </message>
    <message>
        <source>The server took too long to answer.</source>
        <translation>Der Server hat zu lange für die Antwort gebraucht.</translation>
    </message>
    <message>
        <source>The server&apos;s certificate is not trusted (%1).</source>
        <translation>Dem Zertifikat des Servers wird nicht vertraut (%1).</translation>
    </message>
    <message>
        <source>The server&apos;s answer is too large.</source>
        <translation>Die Antwort des Servers ist zu groß.</translation>
    </message>
    <message>
        <source>The server sends Tidra from one address to another without end.</source>
        <translation>Der Server schickt Tidra ohne Ende von einer Adresse zur nächsten.</translation>
    </message>
    <message>
        <source>The server does not answer as a calendar server; check the address.</source>
        <translation>Der Server antwortet nicht wie ein Kalenderserver; prüfen Sie die Adresse.</translation>
    </message>
    <message>
        <source>The server cannot be reached (%1).</source>
        <translation>Der Server ist nicht erreichbar (%1).</translation>
    </message>
    <message>
        <source>The server refused the user name or password.</source>
        <translation>Der Server hat Benutzername oder Passwort abgelehnt.</translation>
    </message>
    <message>
        <source>The server does not allow this user to do that.</source>
        <translation>Der Server erlaubt das diesem Benutzer nicht.</translation>
    </message>
    <message>
        <source>The calendar was not found on the server.</source>
        <translation>Der Kalender wurde auf dem Server nicht gefunden.</translation>
    </message>
    <message>
        <source>An event was changed on the server meanwhile; it is compared again at the next sync.</source>
        <translation>Ein Termin wurde inzwischen auf dem Server geändert; beim nächsten Abgleich wird er neu verglichen.</translation>
    </message>
    <message>
        <source>The server is full.</source>
        <translation>Der Server ist voll.</translation>
    </message>
    <message>
        <source>The server failed (error %1); Tidra tries again later.</source>
        <translation>Der Server hat versagt (Fehler %1); Tidra versucht es später wieder.</translation>
    </message>
    <message>
        <source>The server refused the request (error %1).</source>
        <translation>Der Server hat die Anfrage abgelehnt (Fehler %1).</translation>
    </message>
    <message>
        <source>The server&apos;s answer holds a document type, which Tidra does not read.</source>
        <translation>Die Antwort des Servers enthält einen Dokumenttyp, den Tidra nicht liest.</translation>
    </message>
    <message>
        <source>The server&apos;s answer is not a list of calendar entries.</source>
        <translation>Die Antwort des Servers ist keine Liste von Kalendereinträgen.</translation>
    </message>
    <message>
        <source>The server&apos;s answer cannot be read (%1).</source>
        <translation>Die Antwort des Servers kann nicht gelesen werden (%1).</translation>
    </message>
</context>
<context>
    <name>td::caldav::Client</name>
    <message>
        <source>The server&apos;s address must begin with https:// (or http://).</source>
        <translation>Die Adresse des Servers muss mit https:// (oder http://) beginnen.</translation>
    </message>
</context>
<context>
    <name>td::cli</name>
    <message>
        <source>page</source>
        <translation>Seite</translation>
    </message>
    <message>
        <source>Open the editor for a new alarm.</source>
        <translation>Den Editor für einen neuen Wecker öffnen.</translation>
    </message>
    <message>
        <source>Open the editor for a new timer.</source>
        <translation>Den Editor für einen neuen Timer öffnen.</translation>
    </message>
    <message>
        <source>when</source>
        <translation>wann</translation>
    </message>
    <message>
        <source>Set a one-time alarm, with an optional name and message: when is 07:30, &quot;2026-12-24 18:00&quot;, +25m or +1h30m.</source>
        <translation>Einen einmaligen Wecker stellen, wahlweise mit Name und Nachricht: wann ist 07:30, &quot;2026-12-24 18:00&quot;, +25m oder +1h30m.</translation>
    </message>
    <message>
        <source>span</source>
        <translation>dauer</translation>
    </message>
    <message>
        <source>Start a countdown window, with an optional name: span is 25m, 1h30m or 90s.</source>
        <translation>Ein Countdown-Fenster starten, wahlweise mit Name: dauer ist 25m, 1h30m oder 90s.</translation>
    </message>
    <message>
        <source>Print the alarms and timers of the running Tidra, one per line, tab-separated.</source>
        <translation>Die Wecker und Timer des laufenden Tidra ausgeben, einen pro Zeile, durch Tabulatoren getrennt.</translation>
    </message>
    <message>
        <source>Quit the running Tidra after it has saved everything.</source>
        <translation>Das laufende Tidra beenden, nachdem es alles gespeichert hat.</translation>
    </message>
    <message>
        <source>Tidra keeps alarms, timers and work-schedule countdowns in the system tray.
Without an option it starts, or shows the settings window of the Tidra that runs.
A command goes to the Tidra that runs; one that needs it starts Tidra first.</source>
        <translation>Tidra verwaltet Wecker, Timer und Countdowns der Arbeitszeit im Infobereich.
Ohne Option startet es oder zeigt das Einstellungsfenster des laufenden Tidra.
Ein Befehl geht an das laufende Tidra; wo er es braucht, wird Tidra zuerst gestartet.</translation>
    </message>
    <message>
        <source>Print this help and exit.</source>
        <translation>Diese Hilfe ausgeben und beenden.</translation>
    </message>
    <message>
        <source>Print the version and exit.</source>
        <translation>Die Version ausgeben und beenden.</translation>
    </message>
    <message>
        <source>name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>The name of the alarm or timer.</source>
        <translation>Der Name des Weckers oder Timers.</translation>
    </message>
    <message>
        <source>[name</source>
        <translation>[Name</translation>
    </message>
    <message>
        <source>message</source>
        <translation>Nachricht</translation>
    </message>
    <message>
        <source>The message of the alarm.</source>
        <translation>Die Nachricht des Weckers.</translation>
    </message>
    <message>
        <source>[message]]</source>
        <translation>[Nachricht]]</translation>
    </message>
    <message>
        <source>--%1 is given more than once.</source>
        <translation>--%1 wurde mehr als einmal angegeben.</translation>
    </message>
    <message>
        <source>Give one command at a time, not --%1 and --%2.</source>
        <translation>Bitte nur einen Befehl auf einmal, nicht --%1 und --%2.</translation>
    </message>
    <message>
        <source>Unexpected argument &quot;%1&quot;.</source>
        <translation>Unerwartetes Argument „%1“.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a moment: give a time such as 07:30, a date and time such as &quot;2026-12-24 18:00&quot;, or a span from now such as +25m or +1h30m.</source>
        <translation>„%1“ ist kein Zeitpunkt: Bitte eine Uhrzeit wie 07:30, Datum und Uhrzeit wie &quot;2026-12-24 18:00&quot; oder eine Dauer ab jetzt wie +25m oder +1h30m angeben.</translation>
    </message>
    <message>
        <source>Alarm can not be placed in the past.</source>
        <translation>Ein Wecker kann nicht in der Vergangenheit liegen.</translation>
    </message>
    <message>
        <source>Alarm can not be placed more than %1 days ahead.</source>
        <translation>Ein Wecker kann höchstens %1 Tage im Voraus gestellt werden.</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Wecker</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a span: give one such as 25m, 1h30m or 90s.</source>
        <translation>„%1“ ist keine Dauer: Bitte eine wie 25m, 1h30m oder 90s angeben.</translation>
    </message>
    <message>
        <source>A countdown needs a span longer than zero.</source>
        <translation>Ein Countdown braucht eine Dauer größer als null.</translation>
    </message>
    <message>
        <source>A countdown can last at most %1 days.</source>
        <translation>Ein Countdown kann höchstens %1 Tage dauern.</translation>
    </message>
    <message>
        <source>Show a page of the settings window: datetime, alarms, timers, work, settings or about; or popups: the newest alarm pop-up takes the keyboard.</source>
        <translation>Eine Seite des Einstellungsfensters zeigen: datetime, alarms, timers, work, settings oder about; oder popups: das neueste Alarmfenster erhält die Tastatur.</translation>
    </message>
    <message>
        <source>Exit codes: 0 done, 1 refused (the reason is printed; also when Tidra is busy
and does not answer, or cannot save on --quit), 2 wrong command line or no
display to show Tidra on, 3 Tidra is not running (for --list and --quit).
</source>
        <translation>Rückgabewerte: 0 erledigt, 1 abgelehnt (der Grund wird ausgegeben; auch wenn Tidra beschäftigt
ist und nicht antwortet oder bei --quit nicht speichern kann), 2 falsche Befehlszeile oder kein
Bildschirm, auf dem Tidra erscheinen kann, 3 Tidra läuft nicht (bei --list und --quit).
</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Write the alarms of the running Tidra to an iCalendar file; - writes them to standard output.</source>
        <translation>Die Wecker des laufenden Tidra in eine iCalendar-Datei schreiben; - schreibt sie auf die Standardausgabe.</translation>
    </message>
    <message>
        <source>Add the events of an iCalendar file as alarms, and print what was left out and why.</source>
        <translation>Die Termine einer iCalendar-Datei als Wecker hinzufügen und ausgeben, was ausgelassen wurde und warum.</translation>
    </message>
    <message>
        <source>--import reads a file, not standard input.</source>
        <translation>--import liest eine Datei, nicht die Standardeingabe.</translation>
    </message>
    <message>
        <source>Sync the alarms of the running Tidra with the calendar server now, and print how it went.</source>
        <translation>Die Wecker des laufenden Tidra jetzt mit dem Kalenderserver abgleichen und ausgeben, wie es ausging.</translation>
    </message>
</context>
<context>
    <name>td::ical</name>
    <message>
        <source>The file is larger than %1 MB.</source>
        <translation>Die Datei ist größer als %1 MB.</translation>
    </message>
    <message>
        <source>The file nests its parts more than %1 deep.</source>
        <translation>Die Datei verschachtelt ihre Teile tiefer als %1 Ebenen.</translation>
    </message>
    <message>
        <source>The file is no complete iCalendar file.</source>
        <translation>Die Datei ist keine vollständige iCalendar-Datei.</translation>
    </message>
    <message>
        <source>The time zone &quot;%1&quot; is not described in the file.</source>
        <translation>Die Zeitzone „%1“ ist in der Datei nicht beschrieben.</translation>
    </message>
    <message>
        <source>The time zone &quot;%1&quot; has no offsets.</source>
        <translation>Die Zeitzone „%1“ hat keine Abweichungen von UTC.</translation>
    </message>
    <message>
        <source>The time zone &quot;%1&quot; is %2 hours from UTC.</source>
        <translation>Die Zeitzone „%1“ liegt %2 Stunden von UTC entfernt.</translation>
    </message>
    <message>
        <source>ends after %1 times</source>
        <translation>endet nach %1 Malen</translation>
    </message>
    <message>
        <source>ends on a date</source>
        <translation>endet an einem Datum</translation>
    </message>
    <message>
        <source>repeats at several times of a day</source>
        <translation>wiederholt sich zu mehreren Tageszeiten</translation>
    </message>
    <message>
        <source>repeats on chosen days or weeks of the year</source>
        <translation>wiederholt sich an gewählten Tagen oder Wochen des Jahres</translation>
    </message>
    <message>
        <source>repeats on a list of days of the month</source>
        <translation>wiederholt sich an einer Liste von Monatstagen</translation>
    </message>
    <message>
        <source>repeats in chosen months</source>
        <translation>wiederholt sich in gewählten Monaten</translation>
    </message>
    <message>
        <source>repeats on weekdays every few weeks or months</source>
        <translation>wiederholt sich an Wochentagen alle paar Wochen oder Monate</translation>
    </message>
    <message>
        <source>repeats on the first, second... weekday</source>
        <translation>wiederholt sich am ersten, zweiten... Wochentag</translation>
    </message>
    <message>
        <source>begins on a day that is not one of its weekdays</source>
        <translation>beginnt an einem Tag, der keiner seiner Wochentage ist</translation>
    </message>
    <message>
        <source>repeats every few seconds</source>
        <translation>wiederholt sich alle paar Sekunden</translation>
    </message>
    <message>
        <source>falls on a day some months do not have; Tidra would ring at their end</source>
        <translation>fällt auf einen Tag, den manche Monate nicht haben; Tidra würde an deren Ende klingeln</translation>
    </message>
    <message>
        <source>has %1 reminders; an alarm rings once</source>
        <translation>hat %1 Erinnerungen; ein Wecker klingelt einmal</translation>
    </message>
    <message>
        <source>reminds before the event&apos;s end</source>
        <translation>erinnert vor dem Ende des Termins</translation>
    </message>
    <message>
        <source>reminds at one fixed moment of a repeating event</source>
        <translation>erinnert zu einem festen Zeitpunkt eines sich wiederholenden Termins</translation>
    </message>
    <message>
        <source>has no start</source>
        <translation>hat keinen Beginn</translation>
    </message>
    <message>
        <source>lasts all day: there is no time to ring at</source>
        <translation>dauert den ganzen Tag: es gibt keine Uhrzeit zum Klingeln</translation>
    </message>
    <message>
        <source>leaves out or adds single dates</source>
        <translation>lässt einzelne Daten aus oder fügt sie hinzu</translation>
    </message>
    <message>
        <source>follows %1 repeat rules at once</source>
        <translation>folgt %1 Wiederholungsregeln zugleich</translation>
    </message>
    <message>
        <source>starts at a moment that does not exist</source>
        <translation>beginnt zu einem Zeitpunkt, den es nicht gibt</translation>
    </message>
    <message>
        <source>is already over</source>
        <translation>ist schon vorbei</translation>
    </message>
    <message>
        <source>repeats in a time zone whose clocks differ from the local ones</source>
        <translation>wiederholt sich in einer Zeitzone, deren Uhren anders gehen als die hiesigen</translation>
    </message>
    <message>
        <source>reminds on another day than a monthly or yearly event</source>
        <translation>erinnert an einem anderen Tag als ein monatlicher oder jährlicher Termin</translation>
    </message>
    <message>
        <source>(no title)</source>
        <translation>(ohne Titel)</translation>
    </message>
    <message>
        <source>can never ring</source>
        <translation>kann nie klingeln</translation>
    </message>
    <message>
        <source>repeats at steps too large for a calendar</source>
        <translation>wiederholt sich in Schritten, die für einen Kalender zu groß sind</translation>
    </message>
    <message>
        <source>has occurrences moved one by one</source>
        <translation>hat einzeln verschobene Termine</translation>
    </message>
    <message>
        <source>is not a whole day</source>
        <translation>ist kein ganzer Tag</translation>
    </message>
    <message>
        <source>repeats other than once a year on its date</source>
        <translation>wiederholt sich anders als einmal im Jahr an seinem Datum</translation>
    </message>
    <message>
        <source>has no reminder</source>
        <translation>hat keine Erinnerung</translation>
    </message>
</context>
<context>
    <name>td::protocol</name>
    <message>
        <source>Alarm &quot;%1&quot; is set for %2.
</source>
        <translation>Wecker „%1“ ist auf %2 gestellt.
</translation>
    </message>
    <message>
        <source>Timer &quot;%1&quot; counts down to %2.
</source>
        <translation>Timer „%1“ zählt bis %2 herunter.
</translation>
    </message>
    <message>
        <source>The message is too long.</source>
        <translation>Die Nachricht ist zu lang.</translation>
    </message>
    <message>
        <source>The message is not one Tidra understands.</source>
        <translation>Diese Nachricht versteht Tidra nicht.</translation>
    </message>
    <message>
        <source>The message speaks version %1 of the protocol; this Tidra speaks version %2.</source>
        <translation>Die Nachricht nutzt Version %1 des Protokolls; dieses Tidra nutzt Version %2.</translation>
    </message>
    <message numerus="yes">
        <source>The command &quot;%1&quot; cannot take %n argument(s).</source>
        <translation>
            <numerusform>Der Befehl „%1“ kann nicht %n Argument annehmen.</numerusform>
            <numerusform>Der Befehl „%1“ kann nicht %n Argumente annehmen.</numerusform>
        </translation>
    </message>
    <message>
        <source>There is no page &quot;%1&quot;; the pages are %2.</source>
        <translation>Es gibt keine Seite „%1“; die Seiten sind %2.</translation>
    </message>
    <message>
        <source>Unknown command &quot;%1&quot;.</source>
        <translation>Unbekannter Befehl „%1“.</translation>
    </message>
    <message>
        <source>Tidra could not save it: %1.
</source>
        <translation>Tidra konnte es nicht speichern: %1.
</translation>
    </message>
    <message>
        <source>Tidra did not start: %1.</source>
        <translation>Tidra ist nicht gestartet: %1.</translation>
    </message>
    <message>
        <source>Tidra did not start; start it without a command to see why.</source>
        <translation>Tidra ist nicht gestartet; starten Sie es ohne Befehl, um den Grund zu sehen.</translation>
    </message>
    <message>
        <source>Tidra could not be started: %1.</source>
        <translation>Tidra konnte nicht gestartet werden: %1.</translation>
    </message>
    <message>
        <source>Tidra could not save your alarms: %1. It keeps running with them.
</source>
        <translation>Tidra konnte Ihre Wecker nicht speichern: %1. Es läuft mit ihnen weiter.
</translation>
    </message>
    <message numerus="yes">
        <source>Tidra was started but did not answer within %n second(s).</source>
        <translation>
            <numerusform>Tidra wurde gestartet, hat aber nicht innerhalb von %n Sekunde geantwortet.</numerusform>
            <numerusform>Tidra wurde gestartet, hat aber nicht innerhalb von %n Sekunden geantwortet.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>td::spans</name>
    <message numerus="yes">
        <source>%n Week(s)</source>
        <translation>
            <numerusform>%n Woche</numerusform>
            <numerusform>%n Wochen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Day(s)</source>
        <translation>
            <numerusform>%n Tag</numerusform>
            <numerusform>%n Tage</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Hour(s)</source>
        <translation>
            <numerusform>%n Stunde</numerusform>
            <numerusform>%n Stunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Minute(s)</source>
        <translation>
            <numerusform>%n Minute</numerusform>
            <numerusform>%n Minuten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Second(s)</source>
        <translation>
            <numerusform>%n Sekunde</numerusform>
            <numerusform>%n Sekunden</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>td::timermath</name>
    <message numerus="yes">
        <source>%n week(s)</source>
        <translation>
            <numerusform>%n Woche</numerusform>
            <numerusform>%n Wochen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n day(s)</source>
        <translation>
            <numerusform>%n Tag</numerusform>
            <numerusform>%n Tage</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hour(s)</source>
        <translation>
            <numerusform>%n Stunde</numerusform>
            <numerusform>%n Stunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minute(s)</source>
        <translation>
            <numerusform>%n Minute</numerusform>
            <numerusform>%n Minuten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n second(s)</source>
        <translation>
            <numerusform>%n Sekunde</numerusform>
            <numerusform>%n Sekunden</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>td::transfer</name>
    <message>
        <source>Left out &quot;%1&quot;: %2.</source>
        <translation>Ausgelassen „%1“: %2.</translation>
    </message>
    <message>
        <source>Tidra could not write %1: %2.</source>
        <translation>Tidra konnte %1 nicht schreiben: %2.</translation>
    </message>
    <message numerus="yes">
        <source>%n alarm(s) written to %1.</source>
        <translation>
            <numerusform>%n Wecker nach %1 geschrieben.</numerusform>
            <numerusform>%n Wecker nach %1 geschrieben.</numerusform>
        </translation>
    </message>
    <message>
        <source>Tidra could not read %1: %2.</source>
        <translation>Tidra konnte %1 nicht lesen: %2.</translation>
    </message>
    <message>
        <source>Nothing was imported from %1: %2</source>
        <translation>Aus %1 wurde nichts importiert: %2</translation>
    </message>
    <message>
        <source>Tidra could not save the imported alarms: %1.</source>
        <translation>Tidra konnte die importierten Wecker nicht speichern: %1.</translation>
    </message>
    <message numerus="yes">
        <source>%n alarm(s) imported from %1.</source>
        <translation>
            <numerusform>%n Wecker aus %1 importiert.</numerusform>
            <numerusform>%n Wecker aus %1 importiert.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) were there already.</source>
        <translation>
            <numerusform>%n Termin war schon vorhanden.</numerusform>
            <numerusform>%n Termine waren schon vorhanden.</numerusform>
        </translation>
    </message>
</context>
</TS>
