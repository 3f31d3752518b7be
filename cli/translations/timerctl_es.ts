<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>QCommandLineParser</name>
    <message>
        <source>Unknown option &apos;%1&apos;.</source>
        <translation>Opción desconocida «%1».</translation>
    </message>
    <message>
        <source>Unknown options: %1.</source>
        <translation>Opciones desconocidas: %1.</translation>
    </message>
    <message>
        <source>Missing value after &apos;%1&apos;.</source>
        <translation>Falta un valor tras «%1».</translation>
    </message>
    <message>
        <source>Unexpected value after &apos;%1&apos;.</source>
        <translation>Valor inesperado tras «%1».</translation>
    </message>
</context>
<context>
    <name>timer</name>
    <message>
        <source>cannot open %1: %2</source>
        <translation>no se puede abrir %1: %2</translation>
    </message>
    <message>
        <source>%1: cannot be read; no port is taken from it</source>
        <translation>%1: no se puede leer; no se toma ningún puerto de él</translation>
    </message>
    <message>
        <source>%1: [ports] %2; skipped</source>
        <translation>%1: [ports] %2; se omite</translation>
    </message>
    <message>
        <source>%1: expected N=PATH, for example 1=/dev/ttyUSB0</source>
        <translation>%1: se esperaba N=RUTA, por ejemplo 1=/dev/ttyUSB0</translation>
    </message>
    <message>
        <source>%1: the port number must be from 1 to %2</source>
        <translation>%1: el número de puerto debe ir de 1 a %2</translation>
    </message>
    <message>
        <source>%1: the device path is empty</source>
        <translation>%1: la ruta del dispositivo está vacía</translation>
    </message>
    <message>
        <source>no device stands behind this number</source>
        <translation>ningún dispositivo corresponde a este número</translation>
    </message>
    <message>
        <source>in use by %1</source>
        <translation>en uso por %1</translation>
    </message>
    <message>
        <source>no network address stands behind this number</source>
        <translation>ninguna dirección de red corresponde a este número</translation>
    </message>
    <message>
        <source>no answer within %1 s</source>
        <translation>sin respuesta en %1 s</translation>
    </message>
    <message>
        <source>the baud rate</source>
        <translation>la velocidad</translation>
    </message>
    <message>
        <source>the data bits</source>
        <translation>los bits de datos</translation>
    </message>
    <message>
        <source>the parity</source>
        <translation>la paridad</translation>
    </message>
    <message>
        <source>the stop bits</source>
        <translation>los bits de parada</translation>
    </message>
    <message>
        <source>no flow control</source>
        <translation>la ausencia de control de flujo</translation>
    </message>
    <message>
        <source>the emptying of its buffers</source>
        <translation>el vaciado de sus búferes</translation>
    </message>
    <message>
        <source>the device server refuses RFC 2217 (Com Port Control)</source>
        <translation>el servidor de dispositivos rechaza RFC 2217 (Com Port Control)</translation>
    </message>
    <message>
        <source>the device server did not set %1</source>
        <translation>el servidor de dispositivos no ajustó %1</translation>
    </message>
    <message>
        <source>the device server did not confirm %1 within %2 s</source>
        <translation>el servidor de dispositivos no confirmó %1 en %2 s</translation>
    </message>
    <message>
        <source>the device server closed the connection while setting the line</source>
        <translation>el servidor de dispositivos cerró la conexión mientras se ajustaba la línea</translation>
    </message>
    <message>
        <source>expected HH:MM:SS, got &quot;%1&quot;</source>
        <translation>se esperaba HH:MM:SS, se recibió &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1: takes &quot;%2&quot; or &quot;%3&quot;</source>
        <translation>%1: admite &quot;%2&quot; o &quot;%3&quot;</translation>
    </message>
    <message>
        <source>%1: not JSON: %2 at character %3</source>
        <translation>%1: no es JSON: %2 en el carácter %3</translation>
    </message>
    <message>
        <source>%1: expected one JSON object</source>
        <translation>%1: se esperaba un objeto JSON</translation>
    </message>
    <message>
        <source>%1: expected a text &quot;HH:MM:SS&quot;</source>
        <translation>%1: se esperaba un texto &quot;HH:MM:SS&quot;</translation>
    </message>
    <message>
        <source>%1: expected true or false</source>
        <translation>%1: se esperaba true o false</translation>
    </message>
    <message>
        <source>%1: sent %2, device has %3</source>
        <translation>%1: enviado %2, el dispositivo tiene %3</translation>
    </message>
    <message>
        <source>power-up: sent %1, device has %2</source>
        <translation>arranque: enviado %1, el dispositivo tiene %2</translation>
    </message>
    <message>
        <source>the line was lost: the adapter went away or the device hung up</source>
        <translation>se perdió la línea: el adaptador desapareció o el dispositivo colgó</translation>
    </message>
    <message>
        <source>the line was lost: the device server closed the connection</source>
        <translation>se perdió la línea: el servidor de dispositivos cerró la conexión</translation>
    </message>
    <message>
        <source>the line echoes what is sent (a loopback plug, or an RS-485 converter with echo)</source>
        <translation>la línea devuelve lo que se envía (un conector de bucle, o un conversor RS-485 con eco)</translation>
    </message>
    <message>
        <source>the answer holds no configuration: &quot;%1&quot;</source>
        <translation>la respuesta no contiene ninguna configuración: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>ok</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>sin respuesta</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>rechazado</translation>
    </message>
    <message>
        <source>port unavailable</source>
        <translation>puerto no disponible</translation>
    </message>
    <message>
        <source>verification failed</source>
        <translation>verificación fallida</translation>
    </message>
    <message>
        <source>echo</source>
        <translation>eco</translation>
    </message>
    <message>
        <source>the device&apos;s read-back is not a well-formed configuration; give mono, on, off and power-up</source>
        <translation>lo que el dispositivo devuelve no es una configuración bien formada; indique mono, on, off y power-up</translation>
    </message>
    <message>
        <source>mono %1, on %2, off %3, power-up %4</source>
        <translation>mono %1, on %2, off %3, arranque %4</translation>
    </message>
    <message>
        <source>mono: %1</source>
        <translation>mono    : %1</translation>
    </message>
    <message>
        <source>on  : %1</source>
        <translation>on      : %1</translation>
    </message>
    <message>
        <source>off : %1</source>
        <translation>off     : %1</translation>
    </message>
    <message>
        <source>power-up: %1</source>
        <translation>arranque: %1</translation>
    </message>
    <message>
        <source>timer (%1)</source>
        <translation>temporizador (%1)</translation>
    </message>
    <message>
        <source>--%1 takes %2 or %3</source>
        <translation>--%1 admite %2 o %3</translation>
    </message>
    <message>
        <source>standard input</source>
        <translation>la entrada estándar</translation>
    </message>
    <message>
        <source>--com takes a number from 1 to %1</source>
        <translation>--com admite un número de 1 a %1</translation>
    </message>
    <message>
        <source>--all goes without --com and --device</source>
        <translation>--all va sin --com ni --device</translation>
    </message>
    <message>
        <source>no port designates a device</source>
        <translation>ningún puerto designa un dispositivo</translation>
    </message>
    <message>
        <source>port closed</source>
        <translation>puerto cerrado</translation>
    </message>
    <message>
        <source>unloaded</source>
        <translation>ventana cerrada</translation>
    </message>
    <message>
        <source>the device server answered nothing to RFC 2217 within %1 s: it may be in raw TCP mode (use tcp:HOST:PORT) or serving another client</source>
        <translation>el servidor de dispositivos no respondió nada a RFC 2217 en %1 s: puede estar en modo TCP en bruto (use tcp:MÁQUINA:PUERTO) o atendiendo a otro cliente</translation>
    </message>
    <message>
        <source>permission denied: the user must be in the group %1</source>
        <translation>sin permiso: el usuario debe estar en el grupo %1</translation>
    </message>
    <message>
        <source>the value must be between 0 and 99</source>
        <translation>El valor debe estar entre 0 y 99</translation>
    </message>
    <message>
        <source>the value must be between 0 and 59</source>
        <translation>El valor debe estar entre 0 y 59</translation>
    </message>
    <message>
        <source>The device is not found</source>
        <translation>El dispositivo no se encuentra</translation>
    </message>
    <message>
        <source>The port is not available</source>
        <translation>El puerto no esta disponible</translation>
    </message>
    <message>
        <source>%1: unknown key (known: %2)</source>
        <translation>%1: clave desconocida (se conocen: %2)</translation>
    </message>
    <message>
        <source>%1: names its device twice (&quot;%2&quot; and &quot;%3&quot;)</source>
        <translation>%1: nombra su dispositivo dos veces (&quot;%2&quot; y &quot;%3&quot;)</translation>
    </message>
    <message>
        <source>%1: &quot;com&quot; takes a number from 1 to %2</source>
        <translation>%1: &quot;com&quot; admite un número de 1 a %2</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; takes a text naming a device</source>
        <translation>%1: &quot;%2&quot; admite un texto que nombre un dispositivo</translation>
    </message>
    <message>
        <source>%1: expected a JSON object</source>
        <translation>%1: se esperaba un objeto JSON</translation>
    </message>
    <message>
        <source>%1: names no device (give device, com or serial_number)</source>
        <translation>%1: no nombra ningún dispositivo (indique device, com o serial_number)</translation>
    </message>
    <message>
        <source>%1: gives its configuration twice, under &quot;configuration&quot; and beside it</source>
        <translation>%1: da su configuración dos veces, bajo &quot;configuration&quot; y a su lado</translation>
    </message>
    <message>
        <source>%1: not one JSON object: %2</source>
        <translation>%1: no es un objeto JSON: %2</translation>
    </message>
    <message>
        <source>another JSON value</source>
        <translation>otro valor JSON</translation>
    </message>
    <message>
        <source>%1: no adapter has the serial number %2</source>
        <translation>%1: ningún adaptador tiene el número de serie %2</translation>
    </message>
    <message>
        <source>%1: names the same device as line %2</source>
        <translation>%1: nombra el mismo dispositivo que la línea %2</translation>
    </message>
    <message>
        <source>mode %1 not checked: the device does not report its mode; it is written with any change</source>
        <translation>modo %1 sin comprobar: el dispositivo no informa de su modo; se escribe con cualquier cambio</translation>
    </message>
    <message>
        <source>the plan could not read it</source>
        <translation>el plan no pudo leerlo</translation>
    </message>
    <message>
        <source>%1: the plan saw %2, device has %3</source>
        <translation>%1: el plan vio %2, el dispositivo tiene %3</translation>
    </message>
    <message>
        <source>power-up: the plan saw %1, device has %2</source>
        <translation>arranque: el plan vio %1, el dispositivo tiene %2</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>sin cambios</translation>
    </message>
    <message>
        <source>differs</source>
        <translation>difiere</translation>
    </message>
    <message>
        <source>programmed</source>
        <translation>programado</translation>
    </message>
    <message>
        <source>changed since plan</source>
        <translation>cambiado desde el plan</translation>
    </message>
    <message>
        <source>%1: device %3, file %2</source>
        <translation>%1: dispositivo %3, fichero %2</translation>
    </message>
    <message>
        <source>power-up: device %2, file %1</source>
        <translation>arranque: dispositivo %2, fichero %1</translation>
    </message>
    <message>
        <source>%1 devices: %2 unchanged, %3 differ, %4 failed</source>
        <translation>%1 dispositivos: sin cambios %2, difieren %3, fallidos %4</translation>
    </message>
    <message>
        <source>%1 devices: %2 unchanged, %3 programmed, %4 failed</source>
        <translation>%1 dispositivos: sin cambios %2, programados %3, fallidos %4</translation>
    </message>
    <message>
        <source>expected one command: read, upload, fire, scan, plan FILE, apply FILE or apply --plan PLANFILE (see --help)</source>
        <translation>se esperaba una orden: read, upload, fire, scan, plan FICHERO, apply FICHERO o apply --plan PLAN (vea --help)</translation>
    </message>
    <message>
        <source>--%1 does not go with %2</source>
        <translation>--%1 no va con %2</translation>
    </message>
    <message>
        <source>%1: names no device</source>
        <translation>%1: no nombra ningún dispositivo</translation>
    </message>
    <message>
        <source>the device path holds a NUL character</source>
        <translation>la ruta del dispositivo contiene un carácter NUL</translation>
    </message>
    <message>
        <source>the line never went quiet: it sent for %1 s without the answer (noise, or another device talking on it)</source>
        <translation>la línea nunca quedó en silencio: envió durante %1 s sin la respuesta (ruido, u otro dispositivo que habla en ella)</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; holds a NUL character</source>
        <translation>%1: &quot;%2&quot; contiene un carácter NUL</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is not what a device reads back</source>
        <translation>%1: &quot;%2&quot; no es lo que devuelve un dispositivo</translation>
    </message>
    <message>
        <source>%1: expected {&quot;path&quot;: ..., &quot;serial_number&quot;: ...}</source>
        <translation>%1: se esperaba {&quot;path&quot;: ..., &quot;serial_number&quot;: ...}</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is given twice</source>
        <translation>%1: &quot;%2&quot; aparece dos veces</translation>
    </message>
    <message>
        <source>%1: expected {&quot;%2&quot;:{&quot;devices&quot;:N}}</source>
        <translation>%1: se esperaba {&quot;%2&quot;:{&quot;devices&quot;:N}}</translation>
    </message>
    <message>
        <source>%1: not a kept plan&apos;s line: &quot;%2&quot; is missing (keep the plan with plan --out)</source>
        <translation>%1: no es una línea de un plan guardado: falta &quot;%2&quot; (guarde el plan con plan --out)</translation>
    </message>
    <message>
        <source>%1: a line after the end of the plan</source>
        <translation>%1: una línea tras el final del plan</translation>
    </message>
    <message>
        <source>%1: ends without the plan&apos;s last line: it was cut short, or is no plan kept with plan --out</source>
        <translation>%1: termina sin la última línea del plan: se cortó, o no es un plan guardado con plan --out</translation>
    </message>
    <message>
        <source>%1: the plan counts %2 devices, but %3 are here</source>
        <translation>%1: el plan cuenta %2 dispositivos, pero aquí hay %3</translation>
    </message>
    <message>
        <source>not written: the record cannot be written</source>
        <translation>no se escribe: no se puede escribir el registro</translation>
    </message>
    <message>
        <source>written as monostable: the entry gives no mode</source>
        <translation>se escribe como monoestable: la entrada no indica modo</translation>
    </message>
    <message>
        <source>%1 (adapter %2)</source>
        <translation>%1 (adaptador %2)</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>interrumpido</translation>
    </message>
    <message>
        <source>power-up: device %1, file %2</source>
        <translation>arranque: dispositivo %1, fichero %2</translation>
    </message>
    <message>
        <source>the plan was made for %1, the name now reaches %2</source>
        <translation>el plan se hizo para %1, el nombre ahora llega a %2</translation>
    </message>
    <message>
        <source>the run was stopped by %1 before this device</source>
        <translation>la ejecución se detuvo por %1 antes de este dispositivo</translation>
    </message>
    <message>
        <source>%1 device: %2 unchanged, %3 differs, %4 failed</source>
        <translation>%1 dispositivo: sin cambios %2, difiere %3, fallido %4</translation>
    </message>
    <message>
        <source>%1 device: %2 unchanged, %3 programmed, %4 failed</source>
        <translation>%1 dispositivo: sin cambios %2, programado %3, fallido %4</translation>
    </message>
    <message>
        <source>Usage: timerctl [OPTIONS] COMMAND

Reads, programs and fires timer devices on RS-232 lines (2400 baud, 8N1), with
the same port map, commands and answers as the timer-rs232 window.
</source>
        <translation>Modo de empleo: timerctl [OPCIONES] ORDEN

Lee, programa y dispara temporizadores en líneas RS-232 (2400 baudios, 8N1),
con el mismo mapa de puertos, las mismas órdenes y respuestas que la ventana
timer-rs232.
</translation>
    </message>
    <message>
        <source>Inventory:
  One JSON object per line: the device, by &quot;device&quot; (a path or an address),
  &quot;com&quot; (a Com number) or &quot;serial_number&quot; (its USB adapter&apos;s), and its
  configuration, the keys upload --from takes, alone or under
  &quot;configuration&quot;. What read --json writes for several devices is one. The
  device does not report its mode: a device is unchanged when its times and
  power-up are; a mode given is written with any change, and an entry without
  one is written as monostable.
</source>
        <translation>Inventario:
  Un objeto JSON por línea: el dispositivo, por &quot;device&quot; (una ruta o una
  dirección), &quot;com&quot; (un número Com) o &quot;serial_number&quot; (el de su adaptador
  USB), y su configuración, las claves que toma upload --from, solas o bajo
  &quot;configuration&quot;. Lo que read --json escribe para varios dispositivos es uno.
  El dispositivo no informa de su modo: un dispositivo no tiene cambios cuando
  no los tienen sus tiempos ni su estado al arrancar; un modo indicado se
  escribe con cualquier cambio, y una entrada sin modo se escribe como
  monoestable.
</translation>
    </message>
    <message>
        <source>Output:
  --json                One JSON object per device.
  --trace               Every byte sent and received, on standard error:
                        milliseconds since the start, tx or rx, the characters
                        (others as \xNN) and their hex codes.
  --log FILE            Appends one JSON line per device and operation to FILE,
                        the programming record: the time, the operation, the
                        port and its adapter, what was sent and read back, the
                        result and the exit code. Before a configuration goes
                        out, a line with what the device held and what is sent
                        is on the disk.
  -h, --help            Shows this help.
  --version             Shows the version.
</source>
        <translation>Salida:
  --json                Un objeto JSON por dispositivo.
  --trace               Cada byte enviado y recibido, en la salida de error:
                        milisegundos desde el inicio, tx o rx, los caracteres
                        (los demás como \xNN) y sus códigos hexadecimales.
  --log FICHERO         Añade a FICHERO una línea JSON por dispositivo y
                        operación, el registro de programación: la hora, la
                        operación, el puerto y su adaptador, lo enviado y lo
                        leído, el resultado y el código de salida. Antes de que
                        salga una configuración, una línea con lo que tenía el
                        dispositivo y lo que se envía está en el disco.
  -h, --help            Muestra esta ayuda.
  --version             Muestra la versión.
</translation>
    </message>
    <message>
        <source>success (scan: a timer answered)</source>
        <translation>éxito (scan: respondió un temporizador)</translation>
    </message>
    <message>
        <source>the device did not answer (&quot;The device is not found&quot;), its answer held no configuration, the line never went quiet, or it echoes what is sent; scan: no timer answered</source>
        <translation>el dispositivo no respondió (&quot;El dispositivo no se encuentra&quot;), su respuesta no contenía ninguna configuración, la línea nunca quedó en silencio, o devuelve lo que se envía; scan: no respondió ningún temporizador</translation>
    </message>
    <message>
        <source>bad usage, a bad configuration file, inventory or plan, a value out of range, an upload refused, or a plan or record that cannot be written</source>
        <translation>uso incorrecto, un fichero de configuración, inventario o plan erróneo, un valor fuera de rango, una carga rechazada, o un plan o registro que no se puede escribir</translation>
    </message>
    <message>
        <source>the port is not available (&quot;The port is not available&quot;, and the reason), or the line was lost</source>
        <translation>el puerto no está disponible (&quot;El puerto no esta disponible&quot;, y el motivo), o se perdió la línea</translation>
    </message>
    <message>
        <source>the device acknowledged an upload but reads back something else</source>
        <translation>el dispositivo aceptó una carga pero devuelve otra cosa</translation>
    </message>
    <message>
        <source>plan: something would change</source>
        <translation>plan: algo cambiaría</translation>
    </message>
    <message>
        <source>apply --plan: a device holds something else than the plan saw, or is not the device planned, and was not written</source>
        <translation>apply --plan: un dispositivo tiene otra cosa que la que vio el plan, o no es el dispositivo del plan, y no se escribió</translation>
    </message>
    <message>
        <source>stopped by SIGINT (143: SIGTERM, 129: SIGHUP): no device started after it; those started were finished and recorded</source>
        <translation>detenido por SIGINT (143: SIGTERM, 129: SIGHUP): ningún dispositivo empezó después; los empezados terminaron y quedaron registrados</translation>
    </message>
    <message>
        <source>Exit status:</source>
        <translation>Estado de salida:</translation>
    </message>
    <message>
        <source>With several devices, the largest code among them; for a plan, a device that could not be read counts before one that would change; a signal&apos;s code counts before all.</source>
        <translation>Con varios dispositivos, el mayor código entre ellos; en un plan, un dispositivo que no se pudo leer cuenta antes que uno que cambiaría; el código de una señal cuenta antes que todos.</translation>
    </message>
    <message>
        <source>%1: the name is empty</source>
        <translation>%1: el nombre está vacío</translation>
    </message>
    <message>
        <source>%1: [ports] %2: the device path holds a NUL character</source>
        <translation>%1: [ports] %2: la ruta del dispositivo contiene un carácter NUL</translation>
    </message>
    <message>
        <source>%1 and %2 name the same device</source>
        <translation>%1 y %2 nombran el mismo dispositivo</translation>
    </message>
    <message>
        <source>--out %1: not kept: the run was stopped by %2</source>
        <translation>--out %1: no se guarda: la ejecución se detuvo por %2</translation>
    </message>
    <message>
        <source>  read                  Links (probe &quot;Y&quot;) and prints the device&apos;s configuration:
                        the monostable, ON and OFF times as HH:MM:SS and the
                        power-up state. With --json, as one JSON object, which
                        upload --from takes back.
</source>
        <translation>  read                  Enlaza (sondeo &quot;Y&quot;) y muestra la configuración del
                        dispositivo: los tiempos monoestable, ON y OFF como
                        HH:MM:SS y el estado al arrancar. Con --json, como un
                        objeto JSON, que upload --from vuelve a tomar.
</translation>
    </message>
    <message>
        <source>  upload                Links, takes the read-back as the starting point,
                        changes what is given, sends the configuration, then
                        reads it back and compares:
                          --from FILE           a configuration file (- for
                                                standard input); the options
                                                below override single values
                          --mode mono|bi        (default mono)
                          --mono HH:MM:SS       monostable time
                          --on HH:MM:SS         bistable ON time
                          --off HH:MM:SS        bistable OFF time
                          --power-up on|off     state at power-up
                          --no-verify           skips the read-back
                        Hours 00-99, minutes and seconds 00-59, two digits each.
                        A read-back that is not a well-formed configuration is
                        refused unless mono, on, off and power-up are all given.
</source>
        <translation>  upload                Enlaza, parte de lo que el dispositivo devuelve, cambia
                        lo indicado, envía la configuración, la vuelve a leer
                        y compara:
                          --from FICHERO        un fichero de configuración (-
                                                para la entrada estándar); las
                                                opciones de abajo cambian
                                                valores sueltos
                          --mode mono|bi        (mono si no se indica)
                          --mono HH:MM:SS       tiempo monoestable
                          --on HH:MM:SS         tiempo ON biestable
                          --off HH:MM:SS        tiempo OFF biestable
                          --power-up on|off     estado al arrancar
                          --no-verify           no vuelve a leer
                        Horas 00-99, minutos y segundos 00-59, dos cifras cada
                        uno. Si lo que el dispositivo devuelve no es una
                        configuración bien formada, se rechaza salvo que se
                        indiquen mono, on, off y power-up.
</translation>
    </message>
    <message>
        <source>  fire                  Links and fires the timer (&quot;E&quot;).
</source>
        <translation>  fire                  Enlaza y dispara el temporizador (&quot;E&quot;).
</translation>
    </message>
    <message>
        <source>  scan                  Probes every Com number that designates a device (or
                        the ones given) at once, and says which has a timer.
</source>
        <translation>  scan                  Sondea a la vez cada número Com que designa un
                        dispositivo (o los indicados) y dice cuál tiene un
                        temporizador.
</translation>
    </message>
    <message>
        <source>  plan FILE             Reads every device of the inventory FILE at once and
                        writes nothing: says of each &quot;unchanged&quot;, what would
                        change (&quot;on: device 00:20:10, file 00:00:10&quot;), or why
                        it could not be read.
                          --out PLANFILE        keeps the plan (- for standard
                                                output): what each device held
                                                and which device it was, then
                                                a line that counts them; the
                                                old PLANFILE is replaced only
                                                by a whole plan
</source>
        <translation>  plan FICHERO          Lee a la vez cada dispositivo del inventario FICHERO y
                        no escribe nada: dice de cada uno &quot;sin cambios&quot;, qué
                        cambiaría (&quot;on: dispositivo 00:20:10, fichero
                        00:00:10&quot;), o por qué no se pudo leer.
                          --out PLAN            guarda el plan (- para la
                                                salida estándar): lo que tenía
                                                cada dispositivo y cuál era, y
                                                luego una línea que los
                                                cuenta; el PLAN anterior solo
                                                se sustituye por un plan entero
</translation>
    </message>
    <message>
        <source>  apply FILE            Writes, all at once, only the devices of FILE whose
                        times or power-up differ, each verified as upload
                        verifies; the others are &quot;unchanged&quot;.
                          --plan PLANFILE       a kept plan instead of FILE: a
                                                device that holds something
                                                else than the plan saw, or is
                                                not the device planned, is not
                                                written
                          --no-verify           skips the read-back
</source>
        <translation>  apply FICHERO         Escribe, a la vez, solo los dispositivos de FICHERO
                        cuyos tiempos o estado al arrancar difieren, cada uno
                        verificado como verifica upload; los demás quedan &quot;sin
                        cambios&quot;.
                          --plan PLAN           un plan guardado en lugar de
                                                FICHERO: un dispositivo que
                                                tiene otra cosa que la que vio
                                                el plan, o que no es el
                                                dispositivo del plan, no se
                                                escribe
                          --no-verify           no vuelve a leer
</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>Órdenes:</translation>
    </message>
    <message>
        <source>%1: [tls] %2: expected N/ca, N/pin, N/cert or N/key (N from 1 to 16); skipped</source>
        <translation>%1: [tls] %2: se esperaba N/ca, N/pin, N/cert o N/key (N de 1 a 16); se omite</translation>
    </message>
    <message>
        <source>%1: expected rfc2217://HOST:PORT, tcp:HOST:PORT, rfc2217+tls://HOST:PORT or tls:HOST:PORT, for example tcp:10.0.0.5:4001</source>
        <translation>%1: se esperaba rfc2217://MÁQUINA:PUERTO, tcp:MÁQUINA:PUERTO, rfc2217+tls://MÁQUINA:PUERTO o tls:MÁQUINA:PUERTO, por ejemplo tcp:10.0.0.5:4001</translation>
    </message>
    <message>
        <source>%1: holds no certificate</source>
        <translation>%1: no contiene ningún certificado</translation>
    </message>
    <message>
        <source>%1: cannot be read</source>
        <translation>%1: no se puede leer</translation>
    </message>
    <message>
        <source>%1: others may read the key; it is not used (chmod 600 it)</source>
        <translation>%1: otros pueden leer la clave; no se usa (chmod 600)</translation>
    </message>
    <message>
        <source>%1: the key is protected by a passphrase, which nobody can type here: give it without one</source>
        <translation>%1: la clave está protegida por una frase de paso, que aquí nadie puede teclear: désela sin ella</translation>
    </message>
    <message>
        <source>%1: holds no private key</source>
        <translation>%1: no contiene ninguna clave privada</translation>
    </message>
    <message>
        <source>the pin %1 is no SHA-256 fingerprint</source>
        <translation>la huella fijada %1 no es una huella SHA-256</translation>
    </message>
    <message>
        <source>the device server&apos;s certificate is signed by an authority not trusted here (its fingerprint: %1)</source>
        <translation>el certificado del servidor de dispositivos lo firma una autoridad en la que aquí no se confía (su huella: %1)</translation>
    </message>
    <message>
        <source>the device server&apos;s certificate names another host (%1)</source>
        <translation>el certificado del servidor de dispositivos nombra otra máquina (%1)</translation>
    </message>
    <message>
        <source>the device server&apos;s certificate has expired (%1)</source>
        <translation>el certificado del servidor de dispositivos ha caducado (%1)</translation>
    </message>
    <message>
        <source>the device server&apos;s certificate is not yet valid (%1)</source>
        <translation>el certificado del servidor de dispositivos aún no es válido (%1)</translation>
    </message>
    <message>
        <source>the device server&apos;s certificate is not the pinned one: its fingerprint is %1</source>
        <translation>el certificado del servidor de dispositivos no es el fijado: su huella es %1</translation>
    </message>
    <message>
        <source>the device server asks for a client certificate and none was given</source>
        <translation>el servidor de dispositivos pide un certificado de cliente y no se dio ninguno</translation>
    </message>
    <message>
        <source>the device server refused the client certificate</source>
        <translation>el servidor de dispositivos rechazó el certificado de cliente</translation>
    </message>
    <message>
        <source>the device server does not speak TLS: it answered in plain text (probably an rfc2217:// or tcp: server)</source>
        <translation>el servidor de dispositivos no habla TLS: respondió en claro (seguramente un servidor rfc2217:// o tcp:)</translation>
    </message>
    <message>
        <source>the TLS handshake did not finish within %1 s</source>
        <translation>el saludo TLS no terminó en %1 s</translation>
    </message>
    <message>
        <source>the TLS handshake failed: %1</source>
        <translation>el saludo TLS falló: %1</translation>
    </message>
    <message>
        <source>Device servers behind TLS:
  --ca FILE             Trusts a server whose certificate an authority in FILE
                        signed (the system&apos;s authorities without it); the
                        certificate must name the address&apos;s host.
  --pin SHA256          Trusts the server whose certificate has this SHA-256
                        fingerprint (sha256:AB:CD:...), whoever signed it: for
                        a self-signed certificate.
  --cert FILE           The client certificate, for a server that asks for one.
  --key FILE            Its key: readable by its owner alone, and without a
                        passphrase.
  For Com N, the [tls] group of the settings file may give N/ca, N/pin, N/cert
  and N/key; these options go over it, and an inventory line&apos;s &quot;tls&quot; ({&quot;ca&quot;:
  ..., &quot;pin&quot;: ..., &quot;cert&quot;: ..., &quot;key&quot;: ...}) over both. A server that answers
  in plain text before the handshake is refused: nothing is sent to it. There
  is never a fall back to plain text.
</source>
        <translation>Servidores de dispositivos tras TLS:
  --ca FICHERO          Confía en un servidor cuyo certificado firmó una
                        autoridad de FICHERO (sin él, las del sistema); el
                        certificado debe nombrar la máquina de la dirección.
  --pin SHA256          Confía en el servidor cuyo certificado tiene esta
                        huella SHA-256 (sha256:AB:CD:...), lo firme quien lo
                        firme: para un certificado autofirmado.
  --cert FICHERO        El certificado de cliente, para un servidor que lo pida.
  --key FICHERO         Su clave: legible solo por su dueño, y sin frase de
                        paso.
  Para Com N, el grupo [tls] del fichero de configuración puede dar N/ca,
  N/pin, N/cert y N/key; estas opciones van por encima, y el &quot;tls&quot; de una línea
  de inventario ({&quot;ca&quot;: ..., &quot;pin&quot;: ..., &quot;cert&quot;: ..., &quot;key&quot;: ...}) por encima
  de ambos. Un servidor que responde en claro antes del saludo se rechaza: no
  se le envía nada. Nunca se vuelve a texto en claro.
</translation>
    </message>
    <message>
        <source>%1: expected texts under &quot;ca&quot;, &quot;pin&quot;, &quot;cert&quot; and &quot;key&quot;</source>
        <translation>%1: se esperaban textos bajo &quot;ca&quot;, &quot;pin&quot;, &quot;cert&quot; y &quot;key&quot;</translation>
    </message>
    <message>
        <source>--device %1: expected rfc2217://HOST:PORT, tcp:HOST:PORT, rfc2217+tls://HOST:PORT or tls:HOST:PORT</source>
        <translation>--device %1: se esperaba rfc2217://MÁQUINA:PUERTO, tcp:MÁQUINA:PUERTO, rfc2217+tls://MÁQUINA:PUERTO o tls:MÁQUINA:PUERTO</translation>
    </message>
    <message>
        <source>the device server closed the connection</source>
        <translation>el servidor de dispositivos cerró la conexión</translation>
    </message>
    <message>
        <source>Devices:
  --port N=PATH         Makes Com N designate the device PATH (N from 1 to 16),
                        or a serial device server: N=rfc2217://HOST:PORT (the
                        line is set from here) or N=tcp:HOST:PORT (raw: the
                        server sets it), and inside TLS
                        N=rfc2217+tls://HOST:PORT or N=tls:HOST:PORT.
                        Repeatable, and over the [ports] group of
                        ~/.config/timer-rs232/timer-rs232.conf. Without either,
                        the system&apos;s serial ports: ttyS by number, then ttyUSB,
                        then ttyACM, then the rest.
  --com N               A Com number to use (default 1). Repeatable.
  --device PATH         A device PATH (or a device server&apos;s address, as --port
                        takes it) to use directly. Repeatable.
  --all                 Every Com number that designates a device.
  --echo                The line echoes what is sent (an RS-485 converter with
                        echo): the echo of each command is dropped before the
                        answer is read. Without it, such a line ends with
                        &quot;echo&quot; and code 1.
  With more than one device, or --all, all of them are served at once and each
  gets one line, in the order given: &quot;Com2 /dev/ttyUSB1: ok&quot;, &quot;...: no answer&quot;,
  &quot;...: port unavailable (REASON)&quot;, &quot;...: verification failed (...)&quot;. One
  device named twice is refused. As many are served at once as the limit on
  open files allows (its soft limit raised to its hard limit, &quot;ulimit -Hn&quot;; a
  device takes up to 4 of them); the others wait their turn.
</source>
        <translation>Dispositivos:
  --port N=RUTA         Hace que Com N designe el dispositivo RUTA (N de 1 a
                        16), o un servidor de dispositivos serie:
                        N=rfc2217://MÁQUINA:PUERTO (la línea se ajusta desde
                        aquí) o N=tcp:MÁQUINA:PUERTO (en bruto: la ajusta el
                        servidor), y dentro de TLS
                        N=rfc2217+tls://MÁQUINA:PUERTO o N=tls:MÁQUINA:PUERTO.
                        Repetible, y por encima del grupo [ports] de
                        ~/.config/timer-rs232/timer-rs232.conf. Sin ninguno de
                        los dos, los puertos serie del sistema: ttyS por
                        número, luego ttyUSB, luego ttyACM, luego el resto.
  --com N               Un número Com que usar (1 si no se indica). Repetible.
  --device RUTA         Una RUTA de dispositivo (o la dirección de un servidor
                        de dispositivos, como la toma --port) que usar
                        directamente. Repetible.
  --all                 Cada número Com que designa un dispositivo.
  --echo                La línea devuelve lo que se envía (un conversor RS-485
                        con eco): el eco de cada orden se descarta antes de
                        leer la respuesta. Sin esta opción, una línea así
                        termina con &quot;eco&quot; y código 1.
  Con más de un dispositivo, o con --all, se atienden todos a la vez y cada uno
  tiene una línea, en el orden indicado: &quot;Com2 /dev/ttyUSB1: ok&quot;,
  &quot;...: sin respuesta&quot;, &quot;...: puerto no disponible (MOTIVO)&quot;,
  &quot;...: verificación fallida (...)&quot;. Un dispositivo nombrado dos veces se
  rechaza. Se atienden a la vez tantos como permite el límite de ficheros
  abiertos (su límite blando se sube a su límite duro, &quot;ulimit -Hn&quot;; un
  dispositivo ocupa hasta 4); los demás esperan su turno.
</translation>
    </message>
    <message>
        <source>a client certificate goes with its key: give both, or neither</source>
        <translation>un certificado de cliente va con su clave: dé los dos, o ninguno</translation>
    </message>
</context>
</TS>
