#include "app/window_texts.h"

#include <QStringList>

namespace quorvane {

QString AgreementText() {
    const QStringList lines = {
        QString(),
        QStringLiteral("This program is provided as it is, without any warranty of any kind, "
                       "either expressed or implied."),
        QStringLiteral("It is not a medical device and it gives no medical advice, diagnosis or "
                       "treatment."),
        QStringLiteral("The values it shows are counts taken from your own diary and nothing "
                       "more."),
        QStringLiteral("A high value does not prove that an item causes a symptom, and a low value "
                       "does not prove that it is safe."),
        QStringLiteral("Do not stop, start or change any food, drink, medicine or treatment "
                       "because of what this program shows."),
        QStringLiteral("The results are only as good as the diary they are taken from."),
        QStringLiteral("You use this program and its results entirely at your own risk."),
        QStringLiteral("The author accepts no responsibility for any loss, harm or damage that "
                       "may follow from its use."),
        QStringLiteral("Keep a copy of your diary: no program is free of faults."),
        QStringLiteral("If you do not agree with these conditions, press Cancel and do not use "
                       "this program."),
        QStringLiteral("By pressing OK you agree to these conditions."),
        QString(),
        QStringLiteral("1. This program produces Environmental Art."),
        QStringLiteral("2. If you need help making Environmental Art see the HELP page."),
        QStringLiteral("3. Always see your Doctor if you have any medical concerns"),
    };
    return lines.join(QLatin1Char('\n'));
}

QString HelpText() {
    const QStringList lines = {
        QStringLiteral("HELP"),
        QString(),
        QString(),
        QString(),
        QStringLiteral("A.    Writing the Environmental Conditions."),
        QString(),
        QStringLiteral("There are four basic rules"),
        QStringLiteral("1. record all foods eaten, symptoms and other environmental conditions "
                       "that occur during your day."),
        QStringLiteral("2. insert commas and a space between every item recorded (white bread, "
                       "peanut butter, )"),
        QStringLiteral("3. Put a dollar sign $ at the end of each meal (tea, $, )"),
        QStringLiteral("4. Put a number sign at the end of each day (water, #, )"),
        QString(),
        QString(),
        QString(),
        QStringLiteral("Some extra suggestions will help keep things tidy:"),
        QStringLiteral("1. Enter 2 empty lines at the end of each day"),
        QStringLiteral("2. Enter the date, and day of week at the start of the day"),
        QStringLiteral("3. Put everything in small letters (doesn't really matter)"),
        QStringLiteral("4. Spelling does not matter but consistency is everything, spell all"),
        QStringLiteral("words exactly the same, each time you enter them"),
        QStringLiteral("5. Decide on if you will use plural or singular and stick to it. Example: "
                       "beets or beet"),
        QStringLiteral("I prefer singular except for obvious foods."),
        QStringLiteral("6. Presently numbers are ignored so don't relie on them a lot"),
        QStringLiteral("7. If you have a private condition you don't want anyone to know about "
                       "then"),
        QStringLiteral("decide on a code word for that condition. example IBS = Irritable Bowel "
                       "Syndrome"),
        QStringLiteral("8. If a symptom stays around a while just record it's first occurance. "
                       "example:"),
        QStringLiteral("   a mouth ulcer may take 10 days to heal, just record the first time you "
                       "see it."),
        QStringLiteral("9. Symptoms like weight gain are a bit confusing since the symptom is "
                       "based on"),
        QStringLiteral("a standard value which may eventually change."),
        QString(),
        QStringLiteral("AS ALWAYS:"),
        QStringLiteral("SEE YOUR DOCTOR IMMEDIATELY IF YOU HAVE ANY HEALTH CONCERNS."),
        QString(),
        QString(),
        QString(),
        QString(),
        QString(),
        QStringLiteral("Example Environmental Record file (This is the one you write)"),
        QString(),
        QStringLiteral(" april 29, friday, tea, potato, egg, sausage, $, coffee, raisen, chicken,"),
        QStringLiteral(" apple, date, $, salad, coffee, beef, $, Tea, #,"),
        QString(),
        QStringLiteral(" april 30, saturday, bacon, egg, headache, $, grapefruit, ham, white "
                       "bread, $, coffee,"),
        QStringLiteral(" steak, potato, fruit salad,$, white wine, #,"),
        QString(),
        QString(),
        QString(),
        QStringLiteral("Example Environmental Art Output  (This is what you get)"),
        QString(),
        QStringLiteral("Headache"),
        QStringLiteral("10"),
        QStringLiteral("0006 potato 11 times"),
        QStringLiteral("0012 ham    23 times"),
        QStringLiteral("0016 sausage 14 times"),
        QString(),
        QStringLiteral("Which in plain english means that this person had 10 headaches with an "
                       "environmental"),
        QStringLiteral("frustration of 6 for the 11 times potato was eaten and a higher "
                       "frustration"),
        QStringLiteral("of 12 for the 23 times ham was eaten. For this person sausages had the"),
        QStringLiteral("highest frustration even though they were only eaten 14 times."),
        QString(),
        QString(),
        QStringLiteral("HOW TO"),
        QString(),
        QStringLiteral("B. Running the Quorvane program to produce Environmental Art."),
        QStringLiteral("1. Load the Quorvane Program."),
        QStringLiteral("2. Set the minimum times an item must occur."),
        QStringLiteral("       You get more information if this number is low (3)"),
        QStringLiteral("       you get better accuracy if this number is high (30)"),
        QStringLiteral("3. Enter the symptoms you wish to monitor."),
        QStringLiteral("         (Future release dates will have an easier way to do this)"),
        QStringLiteral("4. Open the File menu - Analysis..."),
        QStringLiteral("5. Double click on your Environmental Conditions file. example "
                       "c:\\Ambry\\myFile.txt"),
        QStringLiteral("6. Enjoy the results."),
        QStringLiteral("7. Show your results to your Doctor."),
    };
    return lines.join(QLatin1Char('\n'));
}

QString StatusNotice() {
    return QStringLiteral(
        "Write your diary on the Composer page, then choose File, Analysis to see the results.");
}

}  // namespace quorvane
