<!DOCTYPE html>
<html lang="it">
<head>
<meta charset="utf-8">
<title>NOCE - Avviare l'installazione come amministratore</title>
<style>
body { font-family: Arial, Helvetica, sans-serif; max-width: 46em; margin: 2em auto; line-height: 1.5; color: #222; }
h1 { font-size: 1.5em; color: #5a3a1a; }
h2 { font-size: 1.15em; margin-top: 1.6em; }
kbd, .voce { background: #f2eee8; border: 1px solid #d8cfc2; border-radius: 3px; padding: 0 .3em; }
.nota { background: #fff8e0; border-left: 4px solid #e0b000; padding: .6em 1em; }
</style>
</head>
<body>
<h1>Installare NOCE come amministratore</h1>

<p>Il programma di installazione di NOCE copia i componenti nella cartella di sistema di Windows
e crea i collegamenti per tutti gli utenti: per farlo ha bisogno dei diritti di
<strong>amministratore</strong>. Se all'avvio compare l'avviso che i diritti mancano e il
tasto INSTALLA non c'è, chiudete il programma con ESCI e riavviatelo in uno dei modi seguenti.</p>

<h2>Windows 7 e Windows Vista</h2>
<ol>
<li>Aprite la cartella in cui avete salvato il programma di installazione.</li>
<li>Fate clic con il tasto <strong>destro</strong> del mouse sull'icona del programma.</li>
<li>Nel menu che compare scegliete <span class="voce">Esegui come amministratore</span>.</li>
<li>Alla domanda del Controllo account utente
(<em>"Consentire al programma seguente di apportare modifiche al computer?"</em>)
rispondete <span class="voce">Sì</span>. Se vi viene chiesta una password, inserite quella
di un account amministratore.</li>
<li>Premete INSTALLA e attendete il messaggio <em>"Installazione completata."</em></li>
</ol>

<h2>Per avviarlo sempre come amministratore</h2>
<ol>
<li>Tasto destro sull'icona del programma, poi <span class="voce">Proprietà</span>.</li>
<li>Scheda <span class="voce">Compatibilità</span>.</li>
<li>Spuntate <span class="voce">Esegui questo programma come amministratore</span> e confermate con
<span class="voce">OK</span>.</li>
</ol>

<h2>Windows XP</h2>
<p>Accedete a Windows con un account del gruppo Administrators, oppure fate clic con il tasto
destro sul programma, scegliete <span class="voce">Esegui come...</span> e indicate l'utente
Administrator con la sua password.</p>

<p class="nota">Al termine dell'installazione riavviate il computer, come vi chiede il
programma, prima di usare NOCE.</p>
</body>
</html>
