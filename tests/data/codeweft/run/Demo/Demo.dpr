program Demo;

uses
  Forms,
  Main in 'Main.pas' {Form1},
  Tools in 'lib\Tools.pas';

begin
  Application.Run;
end.
