unit Tools;

interface

const
  Greeting = 'It''s a demo'#13#10;
  Limit: Integer = $FF;

type
  TRange = 1..10;

procedure Report(const Caption: string; Value: Double);
function SumTo(N: Integer): Integer;

implementation

procedure Report(const Caption: string; Value: Double);
begin
  if Caption <> '' then
    WriteLn(Caption, Value:0:2);
end;

(* Adds the numbers 1 to N; the loop is plain on purpose. *)
function SumTo(N: Integer): Integer;
var
  I: Integer;
begin
  Result := 0;
  for I := 1 to N do
    Result := Result + I; // one at a time
end;

end.
